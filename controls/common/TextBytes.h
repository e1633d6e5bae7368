// Definition texts, log lines and file paths are bytes: the one place where
// they turn into text shown on screen and back.
//
// Bytes that are valid UTF-8 are shown as UTF-8; any other bytes (an 8-bit
// definition of an older editor) are shown as Latin-1, one character per
// byte, so nothing is ever lost or replaced. What the user types is stored as
// UTF-8. Pure ASCII reads and writes the same either way.
//
// Thread contract: plain functions, callable from any thread.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <string>
#include <string_view>

inline QString TextFromBytes(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(view);
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(view);
}

inline QString TextFromBytes(const char* bytes) {
  return bytes == nullptr ? QString() : TextFromBytes(std::string_view(bytes));
}

inline std::string BytesFromText(const QString& text) {
  return text.toUtf8().toStdString();
}
