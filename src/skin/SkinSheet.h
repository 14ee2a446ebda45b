// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// A skin's style sheet as the engine applies it: every url(...) in it names the file that Qt
// will open for it, found as the skin's author means it (a relative name in folder, the skin's
// own, where Qt would look in the current folder; a name that starts with ':' among Qt's
// resources), and names it only when isSafe says that Qt may open it. Any other url(...) is
// emptied, and names nothing; the rest of the sheet is left as it is.
//
// Every url( that Qt's style sheet parser can find is found, however it is written: escaped,
// in capitals, in a comment or a string; a few that Qt would not take for one are rewritten
// too, harmlessly.
QString withCheckedImages(const QString &sheet, const QString &folder,
                          const std::function<bool(const QString &path)> &isSafe);
