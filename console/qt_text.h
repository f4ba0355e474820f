// The small conversions the tool's windows share.
#pragma once

#include <QPushButton>
#include <QString>
#include <string>

namespace kervano {

// The tool's own texts are UTF-8.
inline QString Utf8Text(const std::string& text) { return QString::fromStdString(text); }

// A push button with an object name, so that tests and style sheets find it.
inline QPushButton* NamedButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace kervano
