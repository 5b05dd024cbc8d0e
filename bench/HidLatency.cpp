// tavrin-bench-hid: the time of one exchange with the first reader found on
// the platform's HID host (the info request sent, its reply read), 200 in a
// row. The kernel checks run it against a reader emulated through uhid;
// against a real reader it adds the reader's USB transfers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Median.h"
#include "reader/PlatformHidHost.h"
#include "reader/ReaderLink.h"

int main() {
  using namespace tavrin;
  constexpr int kExchanges = 200;
  const std::unique_ptr<HidHost> host = CreatePlatformHidHost();
  ReaderLink link{*host, FindReader(*host)};
  if (!link.IsOpen()) {
    std::fprintf(stderr, "no reader found\n");
    return 1;
  }
  std::vector<double> millis;
  for (int i = 0; i < kExchanges; ++i) {
    ReaderFrame frame{};
    BuildInfoRequest(frame);
    const auto start = std::chrono::steady_clock::now();
    if (!ExchangeFrame(link, frame) || ReplyIdentification(frame).empty()) {
      std::fprintf(stderr, "exchange %d failed (error %d)\n", i + 1, host->LastError());
      return 1;
    }
    millis.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  CloseReader(link);
  std::printf("figure: median %.2f ms, worst %.2f ms (%d exchanges)\n", bench::Median(millis),
              *std::max_element(millis.begin(), millis.end()), kExchanges);
  return 0;
}
