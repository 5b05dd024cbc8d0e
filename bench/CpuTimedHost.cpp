#include "CpuTimedHost.h"

#include <ctime>

namespace tavrin::bench {

std::int64_t ThreadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

template <class Call>
auto CpuTimedHost::Timed(Call call) {
  const std::int64_t start = ThreadCpuNs();
  auto result = call();
  innerNs += ThreadCpuNs() - start;
  return result;
}

std::optional<std::vector<HidInterface>> CpuTimedHost::EnumerateInterfaces() {
  return Timed([&] { return inner_.EnumerateInterfaces(); });
}

HidHandle CpuTimedHost::Open(const std::string& path) {
  return Timed([&] { return inner_.Open(path); });
}

std::optional<HidAttributes> CpuTimedHost::GetAttributes(HidHandle handle) {
  return Timed([&] { return inner_.GetAttributes(handle); });
}

bool CpuTimedHost::SendOutputReport(HidHandle handle, const std::uint8_t* report) {
  return Timed([&] { return inner_.SendOutputReport(handle, report); });
}

bool CpuTimedHost::GetInputReport(HidHandle handle, std::uint8_t* report) {
  return Timed([&] { return inner_.GetInputReport(handle, report); });
}

void CpuTimedHost::Close(HidHandle handle) {
  Timed([&] {
    inner_.Close(handle);
    return 0;
  });
}

}  // namespace tavrin::bench
