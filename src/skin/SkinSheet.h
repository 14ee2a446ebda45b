// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// A skin's style sheet as the engine applies it: every url(...) in it names what imageFor gives
// for the file that the skin's author means (a relative name in folder, the skin's own, where
// Qt would look in the current folder; a name that starts with ':' among Qt's resources), or
// nothing when that is empty. The rest of the sheet is left as it is. imageFor is asked once
// for each file, in the order in which the sheet names them.
//
// Every url( that Qt's style sheet parser can find is found, however it is written: escaped,
// in capitals, in a comment or a string; a few that Qt would not take for one are rewritten
// too, harmlessly.
QString withHeldImages(const QString &sheet, const QString &folder,
                       const std::function<QString(const QString &path)> &imageFor);
