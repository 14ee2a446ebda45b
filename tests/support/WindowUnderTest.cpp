// SPDX-License-Identifier: MIT
#include "WindowUnderTest.h"

#include "support/Fixtures.h"

#include "runtime/MsgBox.h"

#include <QTest>

namespace {

Form1::Environment environment(const QString &host, std::chrono::milliseconds deadline,
                               const QString &programDirectory)
{
    Form1::Environment environment = testEnvironment(host, deadline);
    if (!programDirectory.isEmpty())
        environment.programDirectory = programDirectory;
    return environment;
}

bool loadAndShow(Form1 &form)
{
    const bool loaded = form.load();
    form.showCentred();
    return loaded;
}

} // namespace

WindowUnderTest::WindowUnderTest(std::chrono::milliseconds deadline, const QString &host,
                                 const QString &programDirectory)
    : form(environment(host.isEmpty() ? service.host() : host, deadline, programDirectory)),
      loaded(loadAndShow(form)), Text1(findControl<QLineEdit>(form, "Text1")),
      Command1(findControl<QPushButton>(form, "Command1")),
      Label7(findControl<Runtime::Label>(form, "Label7")),
      Label9(findControl<Runtime::Label>(form, "Label9")),
      In2(findControl<Runtime::Inet>(form, "In2"))
{}

QStringList WindowUnderTest::lookUp(const QString &account)
{
    const qsizetype before = boxes->boxes().size();
    boxes->answer({Runtime::vbOK, Runtime::vbOK});
    Text1->setText(account);
    QTest::mouseClick(Command1, Qt::LeftButton);
    QStringList seen;
    for (const Runtime::MsgBoxAnswers::Box &box : boxes->boxes().mid(before))
        seen << shownBox(box.style, box.title, box.text);
    return seen;
}

QString shownBox(int style, const QString &title, const QString &text)
{
    return QStringLiteral("%1|%2|%3").arg(style).arg(title, text);
}

QByteArray binaryBody()
{
    QByteArray bytes(4096, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919 + 13) % 256);
    return bytes;
}
