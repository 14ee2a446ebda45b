// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <utility>

class QWidget;

namespace Runtime {

// An error raised by an operation of the runtime, with its number and description. Nothing in
// the window's code handles it: Form::runHandler, which runs every event handler, shows it in a
// box and ends the program.
class RuntimeError
{
public:
    RuntimeError(int number, QString description)
        : m_number(number), m_description(std::move(description))
    {}

    int number() const { return m_number; }
    QString description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// The status a program ends with after an unhandled run-time error.
constexpr int RuntimeErrorExitStatus = 1;

// Shows error in a box with the stop icon.
void showRuntimeError(QWidget *parent, const RuntimeError &error);

} // namespace Runtime
