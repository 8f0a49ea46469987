// vexobingo-startup-empty: the yardstick for the client's start-up. An empty Qt program that
// shows a small dialog (two fields, a box to tick and two buttons, as a sign-in dialog has),
// timed the same way as vexobingo-startup: from the start of the process to the dialog's
// first paint, with the peak memory then. bench/startup_bench.sh runs both in pairs.
#include "startupprobe.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    startup::Probe probe;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Sign in"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name"), new QLineEdit);
    auto* password = new QLineEdit;
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Password"), password);
    form->addRow(new QCheckBox(QStringLiteral("Remember password")));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel));
    dialog.installEventFilter(&probe);
    dialog.show();
    return app.exec();
}
