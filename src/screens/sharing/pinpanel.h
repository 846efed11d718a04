#ifndef PINPANEL_H
#define PINPANEL_H

#include <QObject>
#include <QPlainTextEdit>
#include <QSize>

class QFrame;
class QLabel;
class QLineEdit;
class QMovie;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The service's authorisation page when no browser opened it, to be opened on another device:
// the whole address, selectable; a tap selects all of it and copies it.
class PageAddress : public QPlainTextEdit
{
public:
    explicit PageAddress(QWidget* parent);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// The panel both services show while they log in: "Przetwarzanie" with the busy
// animation, or the field for the code the service displayed in the browser.
class PinPanel
{
public:
    void setupUi(QWidget* form, const char* okName, const char* cancelName, const char* codeLabelName);
    // Busy (processing) or waiting for the code.
    void showProcessing(bool processing);
    // The page to open elsewhere above the code field; an empty one hides it.
    void showPageAddress(const QString& page);
    static QString buttonStyle();
    static QString cancelStyle();

    QVBoxLayout* layout;
    QFrame* processingFrame;
    QLabel* processingLabel;
    QLabel* labelLoader;
    QFrame* codeFrame;
    QLabel* pageHint;
    PageAddress* pageAddress;
    QLabel* codeLabel;
    QLineEdit* verifierTextEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QMovie* movie;
};

// The phone's software keyboard: requested when the code field gets focus, closed after entry.
class SoftKeyboard : public QObject
{
public:
    static constexpr int requestPanel = 199;
    static constexpr int closePanel = 200;

    explicit SoftKeyboard(QLineEdit* field);
    void hide();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field;
};

// The message-box styled frame a service panel sits in, centred in its dialog, of the given size
// (or at least 439 x 410) where the dialog has the room, shrunk to the dialog where it has not.
QFrame* serviceDialogFrame(QWidget* dialog, QWidget* content, const QSize& fixedSize = QSize());

#endif // PINPANEL_H
