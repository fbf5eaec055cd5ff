// The numbers 4D sees for what a stream operation came to: made here and nowhere else.
#pragma once
#include <cstdint>

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
  }
  return -1;
}

}  // namespace vrx
