#include "display/StaleData.h"

bool isStale(qint64 nowMs, qint64 lastDataMs) {
    return nowMs - lastDataMs > kStaleLimitMs;
}
