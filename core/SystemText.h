#pragma once
// The one wording of the operating system's failures for the user: an error number, or the
// English text the system, Qt or a library made of one, turned into Russian words; an exception
// that is no UserError into a sentence.
#include <exception>
#include <QFileDevice>
#include <QString>

// ENOSPC → "на диске нет места".
QString systemErrorText(int errnum);
// Every English text of an error number within `text` ("No space left on device", also inside
// "Write error: No space left on device") put into Russian; the rest of the text as it is.
QString russianSystemText(const QString& text);
// Why the file failed, in Russian.
inline QString fileErrorText(const QFileDevice& file) {
    return russianSystemText(file.errorString());
}
// What an exception says to the user: a UserError's message, "не хватило памяти" for bad_alloc,
// otherwise the exception's text as an internal error.
QString exceptionText(const std::exception& e);
