// The numbers 4D sees for what a stream operation came to: made here and nowhere else.
#pragma once
#include <cstdint>
#include <string>

#include "net/streams.h"

namespace vrx {

inline int32_t StreamResult(NetStatus s) {
  switch (s) {
    case NetStatus::Ok: return 0;
    case NetStatus::Failed: return -1;
    case NetStatus::Busy: return -2;           // the release of a stream in use
    case NetStatus::NotSsl: return -2;
    case NetStatus::NotEstablished: return -3;
    case NetStatus::Refused: return -3;
    case NetStatus::KeyMismatch: return -4;
    case NetStatus::AlreadySsl: return -2;
    case NetStatus::HandshakeFailed: return -3;
    case NetStatus::TimedOut: return -4;
    case NetStatus::NotFound: return -2;
    case NetStatus::Truncated: return -5;      // a verified transfer cut short
  }
  return -1;
}

// A stream's state as 4D reads it: -1 once the stream is gone.
inline int32_t StateNumber(StreamRecord** slot) {
  int32_t state = -1;
  return StreamInfo(slot, 0, &state) == NetStatus::Ok ? state : -1;
}

// A receive's byte count as the loops count it: -1 for a failure.
inline int32_t ReceivedCount(NetStatus s, const std::string& bytes) {
  return s == NetStatus::Ok ? int32_t(bytes.size()) : -1;
}

}  // namespace vrx
