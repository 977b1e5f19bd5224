#pragma once
// The monitor's texts in the language of the all-games record.

#include "ui/uiLanguage.h"
#include "util/user_text.h"

#include <QString>

#include <string>

namespace bv::monitor_app {

inline QString Tr(const std::string& text)
{
    return QString::fromStdString(Translate(text));
}

inline QString Tr(const char* text)
{
    return Tr(std::string(text));
}

inline QString Tr(const util::UserText& text)
{
    return QString::fromStdString(text.Fill(Translate(text.Source)));
}

} // namespace bv::monitor_app
