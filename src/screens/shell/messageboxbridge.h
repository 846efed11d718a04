#ifndef MSGBOXSLOT_H
#define MSGBOXSLOT_H

#include <QWidget>
#include <QString>

class QApplication;
class QDeclarativeView;
class MsgBoxListener;

// Routes the answer of the page's query dialog to whoever asked last.
class MsgBoxSlot : public QWidget
{
    Q_OBJECT
public:
    explicit MsgBoxSlot(QWidget* parent);
    inline void setListener(MsgBoxListener* l) { listener = l; }

private slots:
    void onMsgBoxAccepted();
    void onMsgBoxRejected();

private:
    MsgBoxListener* listener;
};

extern QApplication* app;
extern QDeclarativeView* viewDecl;
extern QObject* rootObject;
extern MsgBoxSlot* mbs;

void registerQmlElements();
// `orientation` is a MainWidget::InterfaceOrientation mask.
void setScreenOrientation(int orientation);
void showMsgBoxOk(QString text, QString title);
void showMsgBoxYesNo(QString text, QString title, MsgBoxListener* listener);
void showMsgBoxBackAgain(QString text, QString title, MsgBoxListener* listener);
void closeApp();
void hideSplashQML();

#endif // MSGBOXSLOT_H
