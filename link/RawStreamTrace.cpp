#include "link/RawStreamTrace.h"

void RawStreamTrace::prepend(const QString& entry) {
    text_.prepend(entry);
    if (text_.size() > kMaxChars)
        text_.truncate(kMaxChars);
}
