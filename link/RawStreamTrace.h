#pragma once

#include <QString>

// The raw-stream text area TextArea1: entries prepended, newest first, each ending with a
// line feed. The text is kept to its first 1512 characters after every entry, so a noisy
// line can neither grow memory nor slow the window.
class RawStreamTrace {
public:
    static constexpr int kMaxChars = 1512;

    void prepend(const QString& entry);
    const QString& text() const { return text_; }
    void clear() { text_.clear(); }

private:
    QString text_;
};
