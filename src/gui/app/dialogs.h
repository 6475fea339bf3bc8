#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace varno::dialogs {

// Every modal window of the panel goes through here, so that tests can answer in advance.

inline constexpr const char* kApplicationTitle = "Varno Server";

// A modal message with one OK button and the application title.
void showMessage(const QString& text);

// A question with Yes and No, No the default; whether Yes was chosen.
bool askYesNo(const QString& text);

struct SaveRequest {
    QString title;
    QStringList filters;     // "Caption (*.ext)" entries, in order
    int filterIndex = 0;     // 0-based type shown at opening
    QString defaultSuffix;   // added to a name typed without one
    QString fileName;        // name shown at opening
    // The default extension that picking a type in the open dialog sets; empty keeps defaultSuffix.
    std::function<QString(int)> suffixForFilter;
};

struct SaveAnswer {
    bool accepted = false;
    QString fileName;
    int filterIndex = 0;     // the type selected when the dialog closed
};

SaveAnswer askSaveFileName(QWidget* parent, const SaveRequest& request);

// A file to open; empty when cancelled.
QString askOpenFileName(QWidget* parent, const QString& title, const QString& filter);

// Test seam. While scripted, nothing modal is shown: messages are recorded and file dialogs take
// the queued answers (a cancel when none is queued).
void setScripted(bool scripted);
bool isScripted();
QStringList takeMessages();
// Runs while a scripted message counts as shown, as if the operator had not closed it yet.
void whileMessageShown(std::function<void(const QString&)> action);
void queueSaveAnswer(const SaveAnswer& answer);
void queueOpenFileName(const QString& fileName);
// The answer to the next question (recorded like a message); a No when none is queued.
void queueQuestionAnswer(bool yes);
// The last save request seen while scripted, for tests that check what the dialog offered.
SaveRequest lastSaveRequest();

} // namespace varno::dialogs
