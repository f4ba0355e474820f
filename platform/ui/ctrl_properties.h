// The widget properties that keep a control's colours as set through SetCtrlAttribute, so
// that they survive a style-sheet rebuild and can be read back.
#pragma once

namespace kvui {

inline const char* const kTextColorProperty = "kvuiTextColor";
inline const char* const kBgColorProperty = "kvuiTextBgColor";

}  // namespace kvui
