#pragma once

#include <QByteArray>
#include <QString>

// A file named by the bytes the user gave, which need not be UTF-8 (a Latin-1 name, a byte 0xFF). Qt
// spells file names as text, so such a name is reached through descriptors held open while this
// lives: the file itself, and its folder when the folder's name is not UTF-8 either.
class ByteName {
public:
    explicit ByteName(const QByteArray& name);
    ~ByteName();
    ByteName(const ByteName&) = delete;
    ByteName& operator=(const ByteName&) = delete;

    // The path to open the file by.
    QString path() const { return m_path; }
    // The name as the user can be shown it.
    QString shown() const { return m_shown; }
    // Whether path() goes through a descriptor, the name not being one Qt can spell.
    bool throughDescriptor() const { return m_file >= 0; }
    // An absolute path in the file's folder, named as the file: what the files it links are relative to.
    QString linkBase() const { return m_linkBase; }

private:
    QString m_path;
    QString m_shown;
    QString m_linkBase;
    int m_file = -1;
    int m_folder = -1;
};
