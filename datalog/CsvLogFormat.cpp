#include "datalog/CsvLogFormat.h"

namespace CsvLogFormat {

namespace {

const QByteArrayView kTitles[] = {"  time  ",  "  U_in[V]", " U_out[V]", " I_out[A]",
                                  " P_out[W]", " RPM",      " Temp[0C]"};
const QByteArrayView kHpuTitles[] = {"Mode HPU", kHpuPressureTitle, "Correction pitch"};

} // namespace

QByteArray header(bool presenceHPU) {
    QByteArray text = kFirstLine.toByteArray() + kLineEnd;
    for (QByteArrayView title : kTitles)
        text.append(title).append(kSeparator);
    if (presenceHPU)
        for (QByteArrayView title : kHpuTitles)
            text.append(title).append(kSeparator);
    return text + kLineEnd;
}

} // namespace CsvLogFormat
