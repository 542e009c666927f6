#include "trends/CsvLogParser.h"

#include "datalog/CsvLogFormat.h"

#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>

#include <cmath>

namespace {

using CsvLogFormat::kFieldsWithHpu;
using CsvLogFormat::kFieldsWithoutHpu;
using CsvLogFormat::kFirstLine;
constexpr qsizetype kLongestFirstLine = 256;
constexpr qsizetype kBinaryCheckBytes = 64 * 1024;
constexpr int kDayFallBackMs = 3 * 3600 * 1000; // more than a clock change can step back

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isMarkerPart(char32_t c) {
    return QChar::isLetter(c) || QChar::isMark(c);
}

// "p.m." and "PM" alike: letters (with their combining marks) only, lower case.
QString markerKey(const QString& text) {
    QString key;
    for (char32_t c : text.toUcs4())
        if (isMarkerPart(c))
            key += QString::fromUcs4(&c, 1).toLower();
    return key;
}

enum class DayHalf { None, Morning, Afternoon };

// The morning and afternoon markers of every locale, since a log may come from any of them.
struct DayHalves {
    QHash<QString, DayHalf> markers;

    DayHalves() {
        const QList<QLocale> all =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        for (const QLocale& locale : all) {
            const QString am = markerKey(locale.amText());
            const QString pm = markerKey(locale.pmText());
            if (am.isEmpty() || pm.isEmpty() || am == pm)
                continue;
            markers.insert(am, DayHalf::Morning);
            if (markers.value(pm) != DayHalf::Morning) // morning anywhere is not taken for afternoon
                markers.insert(pm, DayHalf::Afternoon);
        }
        markers.insert(QStringLiteral("am"), DayHalf::Morning);
        markers.insert(QStringLiteral("pm"), DayHalf::Afternoon);
    }

    // The field's letters are the marker ("PM"), or hold it among the format's own words
    // ("오후 1시 59분 58초"): the longest marker of two or more letters found in them.
    DayHalf of(const QString& letters) const {
        const auto exact = markers.constFind(letters);
        if (exact != markers.cend())
            return exact.value();
        DayHalf half = DayHalf::None;
        qsizetype longest = 1;
        for (auto it = markers.cbegin(); it != markers.cend(); ++it) {
            if (it.key().size() > longest && letters.contains(it.key())) {
                longest = it.key().size();
                half = it.value();
            }
        }
        return half;
    }
};

DayHalf dayHalfOf(const QString& letters) {
    static const DayHalves halves;
    // A log repeats one marker on every line: remember the last answers of this thread.
    thread_local QHash<QString, DayHalf> known;
    const auto found = known.constFind(letters);
    if (found != known.cend())
        return found.value();
    if (known.size() > 64)
        known.clear();
    const DayHalf half = halves.of(letters);
    known.insert(letters, half);
    return half;
}

// Bytes that no text log holds: NUL and the control characters other than tab and line ends.
bool looksBinary(QByteArrayView bytes) {
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            return true;
    }
    return false;
}

} // namespace

CsvLogParser::CsvLogParser(QDate day)
    : day_(day.isValid() ? day : QDate(1970, 1, 1)) {}

void CsvLogParser::feed(QByteArrayView bytes, QVector<TrendPoint>& out) {
    if (refusal_ != Refusal::None)
        return;
    pending_.append(bytes.data(), bytes.size());
    if (!started_) {
        checkStart();
        if (!started_ || refusal_ != Refusal::None)
            return;
    }
    qsizetype begin = 0;
    for (;;) {
        const qsizetype end = pending_.indexOf('\n', begin);
        if (end < 0)
            break;
        line(QByteArrayView(pending_).sliced(begin, end - begin), out);
        begin = end + 1;
    }
    pending_.remove(0, begin);
}

void CsvLogParser::finish(QVector<TrendPoint>& out) {
    if (refusal_ != Refusal::None)
        return;
    if (!started_ && !pending_.isEmpty()) {
        checkStart();
        if (refusal_ == Refusal::None && !started_) // a first line without its line end
            refusal_ = pending_.trimmed() == kFirstLine ? Refusal::None : Refusal::NotLog;
        if (refusal_ != Refusal::None)
            return;
        started_ = true;
    }
    if (!pending_.isEmpty())
        line(pending_, out);
    pending_.clear();
}

void CsvLogParser::checkStart() {
    if (looksBinary(QByteArrayView(pending_).first(std::min(pending_.size(), kBinaryCheckBytes)))) {
        refusal_ = Refusal::Binary;
        return;
    }
    qsizetype end = pending_.indexOf('\n');
    if (end < 0) {
        if (pending_.size() > kLongestFirstLine)
            refusal_ = Refusal::NotLog;
        return;
    }
    QByteArrayView first = QByteArrayView(pending_).first(end);
    if (first.startsWith("\xEF\xBB\xBF")) // a byte-order mark added by an editor
        first = first.sliced(3);
    if (first.trimmed() != kFirstLine) {
        refusal_ = Refusal::NotLog;
        return;
    }
    // Whole lines only, so a character cut at the end of the window is not taken for damage.
    QByteArrayView window = QByteArrayView(pending_).first(std::min(pending_.size(), kBinaryCheckBytes));
    window = window.first(window.lastIndexOf('\n') + 1);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(window));
    if (utf8.hasError()) {
        refusal_ = Refusal::Binary;
        return;
    }
    started_ = true;
}

void CsvLogParser::line(QByteArrayView text, QVector<TrendPoint>& out) {
    if (text.endsWith('\r'))
        text.chop(1);
    if (text.trimmed().isEmpty())
        return;
    if (text.trimmed() == kFirstLine)
        return;
    if (text.startsWith(CsvLogFormat::kTitleStart)) {
        hpuTitles_ = text.contains(CsvLogFormat::kHpuPressureTitle);
        return;
    }
    TrendPoint point;
    if (!dataLine(text, point)) {
        ++skipped_;
        return;
    }
    out.append(point);
}

bool CsvLogParser::dataLine(QByteArrayView text, TrendPoint& point) {
    // Every field is followed by ";": a line without the last one was cut short.
    if (!text.endsWith(CsvLogFormat::kSeparator))
        return false;
    QByteArrayView fields[kFieldsWithHpu + 1];
    int count = 0;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != CsvLogFormat::kSeparator)
            continue;
        if (count == kFieldsWithHpu)
            return false;
        fields[count++] = text.sliced(begin, i - begin);
        begin = i + 1;
    }
    if (count != kFieldsWithoutHpu && count != kFieldsWithHpu)
        return false;

    const int msOfDay = parseTimeOfDay(fields[CsvLogFormat::kTime]);
    if (msOfDay < 0)
        return false;
    static const std::pair<CsvLogFormat::Field, TrendChannel> columns[] = {
        {CsvLogFormat::kInputVoltage, TrendChannel::InputVoltage},
        {CsvLogFormat::kOutputVoltage, TrendChannel::OutputVoltage},
        {CsvLogFormat::kOutputCurrent, TrendChannel::OutputCurrent},
        {CsvLogFormat::kOutputPower, TrendChannel::OutputPower},
        {CsvLogFormat::kSpeed, TrendChannel::Speed},
        {CsvLogFormat::kTemperature, TrendChannel::Temperature}};
    for (const auto& [field, channel] : columns) {
        double value = 0;
        if (!parseNumber(fields[field], value))
            return false;
        point.set(channel, value == -1.0 ? std::nullopt : std::optional<double>(value));
    }
    if (count == kFieldsWithHpu) {
        double pressure = 0;
        if (!parseNumber(fields[CsvLogFormat::kPressure], pressure))
            return false;
        point.set(TrendChannel::Pressure, pressure == -1.0 ? std::nullopt : std::optional<double>(pressure));
    }
    point.time = epochMs(msOfDay);
    return true;
}

qint64 CsvLogParser::epochMs(int msOfDay) {
    if (lastMsOfDay_ >= 0 && msOfDay < lastMsOfDay_ - kDayFallBackMs)
        ++dayOffset_;
    lastMsOfDay_ = msOfDay;
    // Local time, clock changes included; one conversion per hour of the day.
    if (hourStartDay_ != dayOffset_) {
        hourStartDay_ = dayOffset_;
        std::fill(std::begin(hourStart_), std::end(hourStart_), -1);
    }
    const int hour = msOfDay / 3600000;
    if (hourStart_[hour] < 0)
        hourStart_[hour] = QDateTime(day_.addDays(dayOffset_), QTime(hour, 0)).toMSecsSinceEpoch();
    return hourStart_[hour] + msOfDay % 3600000;
}

int CsvLogParser::parseTimeOfDay(QByteArrayView field) {
    int groups[3] = {0, 0, 0};
    int groupCount = 0;
    bool inGroup = false;
    QString letters; // every letter of the field, the day-half marker among them
    const auto digit = [&](int d) {
        if (!inGroup) {
            if (groupCount == 3)
                return false;
            ++groupCount;
            inGroup = true;
        }
        groups[groupCount - 1] = groups[groupCount - 1] * 10 + d;
        return groups[groupCount - 1] < 100;
    };
    bool ascii = true;
    for (char c : field)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        for (char c : field) {
            if (isDigit(c)) {
                if (!digit(c - '0'))
                    return -1;
                continue;
            }
            inGroup = false;
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                letters += QChar::fromLatin1(c).toLower();
        }
    } else {
        // Locales with digits and markers of their own ("下午2:03:27", "𑄷:𑄻𑄿:𑄻𑄾 PM").
        for (char32_t c : QString::fromUtf8(field).toUcs4()) {
            const int d = QChar::digitValue(c);
            if (d >= 0) {
                if (!digit(d))
                    return -1;
                continue;
            }
            inGroup = false;
            if (isMarkerPart(c))
                letters += QString::fromUcs4(&c, 1).toLower();
        }
    }
    if (groupCount != 3)
        return -1;
    int hour = groups[0];
    const int minute = groups[1];
    const int second = groups[2];
    // An hour of 0 or past 12 is a 24-hour clock whatever the words around it.
    if (!letters.isEmpty() && hour >= 1 && hour <= 12) {
        const DayHalf half = dayHalfOf(letters);
        if (half != DayHalf::None)
            hour = hour % 12 + (half == DayHalf::Afternoon ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59)
        return -1;
    return ((hour * 60 + minute) * 60 + second) * 1000;
}

bool CsvLogParser::parseNumber(QByteArrayView field, double& value) {
    field = field.trimmed();
    qsizetype i = 0;
    const bool negative = i < field.size() && field[i] == '-';
    if (negative)
        ++i;
    double whole = 0;
    const qsizetype wholeStart = i;
    while (i < field.size() && isDigit(field[i]))
        whole = whole * 10 + (field[i++] - '0');
    if (i == wholeStart || i - wholeStart > 15)
        return false;
    double fraction = 0;
    if (i < field.size()) {
        // The decimal separator: any one character other than a digit (UTF-8, up to 4 bytes).
        const qsizetype separator = i;
        while (i < field.size() && !isDigit(field[i]) && i - separator < 4)
            ++i;
        const QString separatorText = QString::fromUtf8(field.sliced(separator, i - separator));
        if (separatorText.size() != 1 || separatorText[0].isLetterOrNumber() || separatorText[0].isSpace() ||
            separatorText[0] == QLatin1Char('-'))
            return false;
        double scale = 1;
        const qsizetype fractionStart = i;
        while (i < field.size() && isDigit(field[i])) {
            fraction = fraction * 10 + (field[i++] - '0');
            scale *= 10;
        }
        if (i == fractionStart || i != field.size() || i - fractionStart > 9)
            return false;
        fraction /= scale;
    }
    value = whole + fraction;
    if (negative)
        value = -value;
    return true;
}
