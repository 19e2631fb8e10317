#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Reading a file the user named: a scheme, a page, a style sheet, a dropped file. Only an ordinary
// file (links followed) is ever read. The name is opened without blocking and the opened descriptor is
// what is checked, so a FIFO with no writer, a terminal or a device swapped in for the file after any
// earlier look at its name is refused at once instead of holding the program up for good.
namespace ReadFile {

struct Result {
    QByteArray data; // at most the limit asked for
    bool complete = false; // `data` is the whole file
    qint64 size = 0; // the file's size when it was opened
    int error = 0; // errno of the open, fstat or read that failed; 0 when read
    bool notOrdinary = false; // opened, but a folder, a FIFO, a socket or a device: not read

    bool ok() const { return error == 0 && !notOrdinary; }
    // Why the file could not be read, in the system's words ("Permission denied"); empty when it was.
    QString reason() const;
};

// Reads at most `limit` bytes of the file at `path`.
Result read(const QString& path, qsizetype limit);

// Reads at most `limit` bytes of standard input, to its end: a pipe, a terminal or a redirected file.
Result readStandardInput(qsizetype limit);

// Called with the encoded name just before it is opened. Tests swap the file there.
void setOpenHook(std::function<void(const QByteArray& name)> hook);

} // namespace ReadFile
