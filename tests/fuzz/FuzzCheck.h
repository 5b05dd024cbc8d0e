// How the fuzzers report a broken invariant: the reason on stderr, then an
// abort, so that libFuzzer keeps the input. Qt-free.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tavrin::fuzz {

inline void Require(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what.c_str());
  std::abort();
}

}  // namespace tavrin::fuzz
