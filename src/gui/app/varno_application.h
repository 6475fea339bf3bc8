#pragma once

#include <QApplication>

namespace varno {

// The application object: its event dispatch is the last line of the general error report, so an
// error escaping any event handler is shown and the program goes on.
class VarnoApplication : public QApplication {
    Q_OBJECT
public:
    VarnoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace varno
