// The manual-reset event and the day-fraction clock arithmetic, both built on
// the standard library only.
#include "platform.h"

namespace tzm::platform {

void TEvent::Set() {
  std::lock_guard<std::mutex> hold(Mutex);
  Signalled = true;
  Changed.notify_all();
}

void TEvent::Reset() {
  std::lock_guard<std::mutex> hold(Mutex);
  Signalled = false;
}

void TEvent::Wait() {
  std::unique_lock<std::mutex> hold(Mutex);
  Changed.wait(hold, [this] { return Signalled; });
}

bool TEvent::IsSet() {
  std::lock_guard<std::mutex> hold(Mutex);
  return Signalled;
}

namespace {

// Days from 0001-01-01 (proleptic Gregorian) to the given date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

}  // namespace

double ToDayFraction(const TLocalDateTime& t) {
  const int64_t days = DaysFromCivil(t.Year, t.Month, t.Day) - DaysFromCivil(1899, 12, 30);
  const double ms = ((t.Hour * 60.0 + t.Minute) * 60.0 + t.Second) * 1000.0 + t.Millisecond;
  return static_cast<double>(days) + ms / 86400000.0;
}

double NowDayFraction() { return ToDayFraction(LocalDateTime()); }

}  // namespace tzm::platform
