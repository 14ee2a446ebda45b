// SPDX-License-Identifier: MIT
#pragma once

#include "InetTransfer.h"

#include "lookup/Lookup.h"
#include "runtime/Form.h"
#include "runtime/Inet.h"
#include "runtime/Label.h"
#include "runtime/SkinH.h"
#include "runtime/StatusBar.h"
#include "runtime/TextBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <chrono>

// The statistics service the lookup asks.
extern const QString ServiceHost;
// The maker's web page, opened by Command2.
extern const QString MakerPage;

// The program's one window: the account box and lookup button, the two counters, the help,
// web page and exit buttons, and the status bar.
class Form1 : public Runtime::Form
{
    Q_OBJECT

public:
    // What the window reaches outside itself.
    struct Environment
    {
        QString programDirectory; // holds the skin engine, the skin and the transfer library
        QString serviceHost = ServiceHost;
        std::chrono::milliseconds requestTimeout = std::chrono::seconds(60); // a lookup's, whole
        QStringList urlOpener;
    };

    // The program's own environment: its folder, the real service, the platform's opener.
    static Environment programEnvironment();

    // Sets up what the window takes from the application, once the application object exists
    // and before the window does: how screen readers see forms and labels, the style with the
    // program's own message box icons, and the program's font, which the window, its controls
    // and its message boxes take. A control made before
    // it would be described without the first, and measured again for the second.
    static void setUpApplication();

    explicit Form1(const Environment &environment, QWidget *parent = nullptr);

protected:
    void Form_Load() override;
    void Form_Complete() override;
    void Form_QueryUnload(qint16 &Cancel, qint16 UnloadMode) override;

private:
    // Controls that no one sees, each group set up on its own; the help text and the
    // pictures by Form_Complete.
    void setUpTransferControls();
    void setUpHelpText();
    void setUpPictures();

    // The lookup button: busy until the lookup has shown its result.
    void Command1_Click();
    // The lookup, from the request to the last box: shows what m_lookup found.
    void QueryPopularity();
    // Writes the counters, today's first.
    void showCounters(const LookupOutcome &outcome);

    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // Declared from the bottom of the stack up: a widget created later lies above its
    // earlier siblings.
    Runtime::TextBox *Text2 = nullptr;                   // the help text, hidden; made last
    QGroupBox *Frame2 = new QGroupBox(this);             // the outer outline
    QGroupBox *Frame3 = new QGroupBox(Frame2);           // frames the side buttons
    QPushButton *Command2 = new QPushButton(Frame3);     // opens the maker's web page
    QPushButton *Command3 = new QPushButton(Frame3);     // shows the help text
    QPushButton *Command4 = new QPushButton(Frame3);     // asks to close the window
    QGroupBox *Frame1 = new QGroupBox(this);             // frames the lookup
    Runtime::Label *Label9 = new Runtime::Label(Frame1); // today's visits
    Runtime::Label *Label2 = new Runtime::Label(Frame1); // the caption "今日访问人数："
    Runtime::Label *Label7 = new Runtime::Label(Frame1); // the total visits
    Runtime::Label *Label1 = new Runtime::Label(Frame1); // the caption "历史访问人数："
    QPushButton *Command1 = new QPushButton(Frame1);     // the lookup button
    QLineEdit *Text1 = new QLineEdit(this);              // the QQ account number
    Runtime::Inet *In1 = new Runtime::Inet(this);        // never used
    Runtime::Inet *In2 = new Runtime::Inet(this);        // the lookup's transfer
    Runtime::Inet *In3 = new Runtime::Inet(this);        // never used
    QLabel *PicCaption = new QLabel(this);               // a bitmap out of sight
    QLabel *PicBorder = new QLabel(PicCaption);          // a bitmap out of sight
    Runtime::StatusBar *StatusBar1 = new Runtime::StatusBar(33, this); // the maker's notice

    const Environment m_environment;
    Runtime::SkinH m_skinH{m_environment.programDirectory};
    InetTransfer m_transfer{*In2}; // the lookup's transfer, through In2
    // The lookup itself, whose outcome the window shows.
    Lookup m_lookup{m_transfer, m_environment.serviceHost, m_environment.requestTimeout};
};
