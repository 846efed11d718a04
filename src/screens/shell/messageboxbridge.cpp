#include "screens/shell/messageboxbridge.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QVariant>
#include <QtQml>

#include "screens/shell/mainwidget.h"
#include "screens/shell/msgboxlistener.h"
#include "screens/shell/qmainwidgetitem.h"
#include "screens/shell/qsplashwidgetitem.h"
#include "platform/declarativeview.h"
#include "platform/meegocomponents.h"

QApplication* app = nullptr;
QDeclarativeView* viewDecl = nullptr;
QObject* rootObject = nullptr;
MsgBoxSlot* mbs = nullptr;

MsgBoxSlot::MsgBoxSlot(QWidget* parent)
    : QWidget(parent), listener(nullptr)
{
    hide();
}

void MsgBoxSlot::onMsgBoxAccepted()
{
    if (listener)
        listener->onMsgBoxAccepted();
}

void MsgBoxSlot::onMsgBoxRejected()
{
    if (listener)
        listener->onMsgBoxRejected();
}

void registerQmlElements()
{
    registerMeegoComponents();
    MainWidget::setPageHooks(setScreenOrientation, closeApp);
    qmlRegisterType<QMainWidgetItem>("MainWidget", 1, 0, "QMainWidgetItem");
    qmlRegisterType<QSplashWidgetItem>("SplashWidget", 1, 0, "QSplashWidgetItem");
}

void setScreenOrientation(int orientation)
{
    if (!rootObject)
        return;
    // The mask's values: 1 upright, 2 sideways, 3 free.
    const char* method = "setOrientationAuto";
    if (orientation == 1)
        method = "setOrientationPortrait";
    else if (orientation == 2)
        method = "setOrientationLandscape";
    QMetaObject::invokeMethod(rootObject, method);
}

static void invokeBox(const char* method, const QString& text, const QString& title)
{
    QMetaObject::invokeMethod(rootObject, method, Q_ARG(QVariant, QVariant(text)), Q_ARG(QVariant, QVariant(title)));
}

void showMsgBoxOk(QString text, QString title)
{
    if (!mbs)
        return;
    mbs->setListener(nullptr);
    invokeBox("showMsgBoxOk", text, title);
}

void showMsgBoxYesNo(QString text, QString title, MsgBoxListener* listener)
{
    if (!mbs)
        return;
    mbs->setListener(listener);
    invokeBox("showMsgBoxYesNo", text, title);
}

void showMsgBoxBackAgain(QString text, QString title, MsgBoxListener* listener)
{
    if (!mbs)
        return;
    mbs->setListener(listener);
    invokeBox("showMsgBoxBackAgain", text, title);
}

void closeApp()
{
    QCoreApplication::exit(0);
    if (viewDecl)
        viewDecl->deleteLater();
}

void hideSplashQML()
{
    viewDecl->setSource(QUrl(QStringLiteral("qrc:/main.qml")));
    mbs = new MsgBoxSlot(viewDecl);
    rootObject = viewDecl->rootObject();
    QObject::connect(rootObject, SIGNAL(msgBoxAccepted()), mbs, SLOT(onMsgBoxAccepted()));
    QObject::connect(rootObject, SIGNAL(msgBoxRejected()), mbs, SLOT(onMsgBoxRejected()));
    MainWidget::getInstance()->connectPauseResumeSignals(rootObject);
}
