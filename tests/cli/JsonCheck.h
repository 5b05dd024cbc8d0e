// Whether a text is one valid JSON value (RFC 8259), UTF-8 included, so
// that the tests can hold tavrin-reader's --json output to what a script's
// parser accepts. Empty when valid; otherwise where and what went wrong.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace tavrin::cli {

class JsonCheck {
 public:
  static std::string Problem(std::string_view text) {
    JsonCheck check(text);
    check.Space();
    if (check.Value()) {
      check.Space();
      if (check.at_ == text.size()) return {};
      check.Fail("text after the value");
    }
    return "at " + std::to_string(check.at_) + ": " + check.problem_;
  }

 private:
  explicit JsonCheck(std::string_view text) : text_(text) {}

  bool Fail(const char* what) {
    if (problem_.empty()) problem_ = what;
    return false;
  }
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  bool Take(char c) { return Peek() == c ? (++at_, true) : false; }
  void Space() {
    while (Peek() == ' ' || Peek() == '\n' || Peek() == '\r' || Peek() == '\t') ++at_;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return Fail("unknown word");
    at_ += word.size();
    return true;
  }

  bool Value() {
    switch (Peek()) {
      case '{':
        return Members('}', true);
      case '[':
        return Members(']', false);
      case '"':
        return String();
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }

  // An object's members or an array's elements, after the opening bracket.
  bool Members(char close, bool named) {
    ++at_;
    Space();
    if (Take(close)) return true;
    do {
      Space();
      if (named && !(String() && (Space(), Take(':')))) return Fail("expected a name and ':'");
      Space();
      if (!Value()) return false;
      Space();
    } while (Take(','));
    return Take(close) || Fail("expected ',' or the closing bracket");
  }

  bool Digits() {
    const std::size_t start = at_;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++at_;
    return at_ > start || Fail("expected a digit");
  }
  bool Number() {
    Take('-');
    if (!Take('0') && !Digits()) return false;
    if (Take('.') && !Digits()) return false;
    if ((Take('e') || Take('E')) && (Take('+') || Take('-'), !Digits())) return false;
    return true;
  }

  bool String() {
    if (!Take('"')) return Fail("expected a string");
    for (;;) {
      const auto c = static_cast<unsigned char>(Peek());
      if (at_ >= text_.size()) return Fail("unterminated string");
      if (c < 0x20) return Fail("control character in a string");
      ++at_;
      if (c == '"') return true;
      if (c == '\\' && !Escape()) return false;
      if (c >= 0x80 && !Utf8Tail(c)) return false;
    }
  }
  bool Escape() {
    const char c = Peek();
    ++at_;
    if (std::string_view("\"\\/bfnrt").find(c) != std::string_view::npos) return true;
    if (c != 'u') return Fail("unknown escape");
    for (int i = 0; i < 4; ++i, ++at_) {
      if (!std::isxdigit(static_cast<unsigned char>(Peek()))) return Fail("bad \\u escape");
    }
    return true;
  }
  // The continuation bytes of a character whose first byte is lead.
  bool Utf8Tail(unsigned char lead) {
    const int more = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (more < 0 || lead >= 0xF5) return Fail("invalid UTF-8");
    for (int i = 0; i < more; ++i, ++at_) {
      if ((static_cast<unsigned char>(Peek()) & 0xC0) != 0x80) return Fail("invalid UTF-8");
    }
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string problem_;
};

}  // namespace tavrin::cli
