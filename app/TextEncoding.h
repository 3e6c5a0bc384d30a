// Reading and writing the editor's text files: UTF-8, or GB18030 for files from other systems.
#pragma once

#include <QByteArray>
#include <QString>

// How a text file was stored, so that saving writes it back the same way.
struct TextFileForm {
    bool gb18030 = false;  // the bytes were not valid UTF-8 and were read as GB18030
    bool bom = false;      // a UTF-8 byte-order mark preceded the text
    bool crlf = false;     // every line ended with "\r\n"
};

// Decodes a file's bytes: UTF-8 when they are valid UTF-8, GB18030 otherwise. Line ends are
// returned as "\n"; form records what saving needs. False when neither decoding is clean
// (the text then holds the UTF-8 reading with replacement characters).
bool DecodeTextFile(const QByteArray& bytes, QString& text, TextFileForm& form);

// The bytes that store text in the given form.
QByteArray EncodeTextFile(const QString& text, const TextFileForm& form);
