#include "gui/app/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <deque>

namespace varno::dialogs {

namespace {

struct Script {
    bool scripted = false;
    QStringList messages;
    std::deque<SaveAnswer> saveAnswers;
    std::deque<QString> openAnswers;
    std::deque<bool> questionAnswers;
    SaveRequest lastSave;
    std::function<void(const QString&)> whileShown;
};

Script& script()
{
    static Script s;
    return s;
}

} // namespace

void showMessage(const QString& text)
{
    if (script().scripted) {
        script().messages << text;
        if (const auto action = script().whileShown)
            action(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
    box.exec();
}

bool askYesNo(const QString& text)
{
    if (script().scripted) {
        script().messages << text;
        if (script().questionAnswers.empty())
            return false;
        const bool answer = script().questionAnswers.front();
        script().questionAnswers.pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void queueQuestionAnswer(bool yes)
{
    script().questionAnswers.push_back(yes);
}

SaveAnswer askSaveFileName(QWidget* parent, const SaveRequest& request)
{
    if (script().scripted) {
        script().lastSave = request;
        if (script().saveAnswers.empty())
            return {};
        SaveAnswer answer = script().saveAnswers.front();
        script().saveAnswers.pop_front();
        return answer;
    }
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.suffixForFilter) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
            dialog.setDefaultSuffix(request.suffixForFilter(int(request.filters.indexOf(filter))));
        });
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {true, dialog.selectedFiles().constFirst(),
            int(request.filters.indexOf(dialog.selectedNameFilter()))};
}

QString askOpenFileName(QWidget* parent, const QString& title, const QString& filter)
{
    if (script().scripted) {
        if (script().openAnswers.empty())
            return {};
        QString answer = script().openAnswers.front();
        script().openAnswers.pop_front();
        return answer;
    }
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

void setScripted(bool scripted)
{
    script() = Script{};
    script().scripted = scripted;
}

bool isScripted()
{
    return script().scripted;
}

QStringList takeMessages()
{
    QStringList messages;
    messages.swap(script().messages);
    return messages;
}

void whileMessageShown(std::function<void(const QString&)> action)
{
    script().whileShown = std::move(action);
}

void queueSaveAnswer(const SaveAnswer& answer)
{
    script().saveAnswers.push_back(answer);
}

void queueOpenFileName(const QString& fileName)
{
    script().openAnswers.push_back(fileName);
}

SaveRequest lastSaveRequest()
{
    return script().lastSave;
}

} // namespace varno::dialogs
