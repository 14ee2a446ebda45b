// SPDX-License-Identifier: MIT
#pragma once

#include "support/LookupTexts.h"
#include "support/StandInService.h"

#include "app/Form1.h"
#include "runtime/Inet.h"
#include "runtime/Label.h"
#include "runtime/MsgBox.h"

#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <memory>

// The real window, loaded and shown, asking a stand-in service (or host, when one is given)
// within deadline, with its message boxes answered through MsgBox's answer seam. Its program
// folder, where it finds its skin and transfer, is the test's own unless one is given.
class WindowUnderTest
{
public:
    explicit WindowUnderTest(std::chrono::milliseconds deadline = std::chrono::seconds(1),
                             const QString &host = QString(),
                             const QString &programDirectory = QString());

    // Types account, clicks the lookup button, answers the boxes that follow with OK and
    // returns them as shownBox gives them.
    QStringList lookUp(const QString &account);

    StandInService service;
    // Answers every box while the window lives; a test that needs the real box shown, to
    // see where it lies or where the focus goes after it, lets it go first.
    std::unique_ptr<Runtime::MsgBoxAnswers> boxes = std::make_unique<Runtime::MsgBoxAnswers>();
    Form1 form;
    const bool loaded;
    QLineEdit *const Text1;
    QPushButton *const Command1;
    Runtime::Label *const Label7;
    Runtime::Label *const Label9;
    Runtime::Inet *const In2;
};

// A message box as one line, "style|title|text", for comparing lists of them.
QString shownBox(int style, const QString &title, const QString &text);

// 4 KiB of bytes of every value, the same each time.
QByteArray binaryBody();
