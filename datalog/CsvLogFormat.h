#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The layout of the CSV data log, for the writer (CsvLog) and the reader of the trends alike:
// "LOG ORVANE", the title line, then one line a second of seven fields, ten with the HPU's,
// each followed by ";". Numbers are written with the user's decimal separator.
namespace CsvLogFormat {

constexpr char kSeparator = ';';
constexpr char kLineEnd = '\n';
constexpr QByteArrayView kFirstLine("LOG ORVANE");
// How the title line begins: the time's title and its separator.
constexpr QByteArrayView kTitleStart("  time  ;");
// The title that a title line holds when it names the HPU's fields.
constexpr QByteArrayView kHpuPressureTitle("Pression (bar)");

// The fields of a data line, in order; the last three only while the HPU is heard.
enum Field {
    kTime,
    kInputVoltage,
    kOutputVoltage,
    kOutputCurrent,
    kOutputPower,
    kSpeed,
    kTemperature,
    kModeHpu,
    kPressure,
    kPitch,
};
constexpr int kFieldsWithoutHpu = kModeHpu;
constexpr int kFieldsWithHpu = kPitch + 1;

// The first two lines of a day file: "LOG ORVANE" and the titles, the HPU's with presenceHPU.
QByteArray header(bool presenceHPU);

} // namespace CsvLogFormat
