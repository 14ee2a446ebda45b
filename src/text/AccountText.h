// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Text work on the account typed in Text1: what the program asks for, and what its messages
// quote.

// The account the user means by typed: full-width digits (U+FF10 to U+FF19, as an input method
// in full-width mode gives them) become the digits 0 to 9, and white space at both ends goes,
// whatever its kind (U+0020, U+3000, a no-break space, a tab, a line break a paste brought
// along...). Nothing else is touched, inside the text or out.
QString meantAccount(const QString &typed);

// typed as a message quotes it: the spaces typed around it stay, but the tabs and line breaks
// among them go, because a box can't show them on the quote's one line. Nothing inside the
// text is touched.
QString quotedAccount(const QString &typed);
