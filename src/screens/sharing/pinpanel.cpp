#include "screens/sharing/pinpanel.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QVBoxLayout>
#include "screens/widgets/formstyle.h"

#include "screens/widgets/busylabel.h"
#include "logic/base/hidpi.h"

QString PinPanel::buttonStyle()
{
    return QStringLiteral("QPushButton { color: white; border-image: %1; border-width: 8px; }"
                          "QPushButton:pressed { border-image: %2; }"
                          "QPushButton:disabled { border-image: %3; }")
        .arg(Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/NORMAL"), 8, 8, 8, 8),
             Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/NORMAL_ON"), 8, 8, 8, 8),
             Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/NORMAL_DISABLED"), 8, 8, 8, 8));
}

QString PinPanel::cancelStyle()
{
    return QStringLiteral("QPushButton { color: white; border-image: %1; border-width: 8px; }"
                          "QPushButton:pressed { border-image: %2; }")
        .arg(Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/RED"), 8, 8, 8, 8),
             Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/RED_ON"), 8, 8, 8, 8));
}

void PinPanel::setupUi(QWidget* form, const char* okName, const char* cancelName, const char* codeLabelName)
{
    form->setAttribute(Qt::WA_TranslucentBackground, true);
    form->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: transparent; }"
        "QLineEdit { color: black; background-color: white; border: 2px solid rgb(228, 167, 171); border-radius: 4px; }"
        "QLineEdit:focus { border-color: rgb(212, 58, 68); }"));
    QFont big = form->font();
    big.setPointSize(16);

    layout = new QVBoxLayout(form);
    layout->setObjectName(QStringLiteral("verticalLayout_2"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    codeFrame = new QFrame(form);
    codeFrame->setObjectName(QStringLiteral("codeFrame"));
    QVBoxLayout* code = new QVBoxLayout(codeFrame);
    code->setSpacing(25);
    code->addStretch();
    QFont small = form->font();
    small.setPointSize(12);
    pageHint = new QLabel(QObject::tr("Nie udało się otworzyć przeglądarki. Otwórz ten adres na innym urządzeniu "
                                      "i wpisz kod, który się pojawi:"),
                          codeFrame);
    pageHint->setObjectName(QStringLiteral("pageHint"));
    pageHint->setFont(small);
    pageHint->setWordWrap(true);
    pageHint->setAlignment(Qt::AlignCenter);
    code->addWidget(pageHint);
    pageAddress = new PageAddress(codeFrame);
    pageAddress->setFont(small);
    code->addWidget(pageAddress);
    codeLabel = new QLabel(QObject::tr("Wprowadź kod"), codeFrame);
    codeLabel->setObjectName(QLatin1String(codeLabelName));
    codeLabel->setFont(big);
    codeLabel->setAlignment(Qt::AlignCenter);
    code->addWidget(codeLabel);
    verifierTextEdit = new QLineEdit(codeFrame);
    verifierTextEdit->setObjectName(QStringLiteral("verifierTextEdit"));
    verifierTextEdit->setFixedHeight(41);
    verifierTextEdit->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
    verifierTextEdit->setFont(big);
    code->addWidget(verifierTextEdit);
    okButton = new QPushButton(QStringLiteral("OK"), codeFrame);
    okButton->setObjectName(QLatin1String(okName));
    okButton->setFixedHeight(67);
    okButton->setMaximumWidth(400);
    okButton->setFont(big);
    okButton->setStyleSheet(buttonStyle());
    code->addWidget(okButton);
    code->addStretch();
    layout->addWidget(codeFrame);

    processingFrame = new QFrame(form);
    processingFrame->setObjectName(QStringLiteral("processingFrame"));
    QVBoxLayout* processing = new QVBoxLayout(processingFrame);
    processingLabel = new QLabel(QObject::tr("Przetwarzanie"), processingFrame);
    processingLabel->setObjectName(QStringLiteral("processingLabel"));
    processingLabel->setFont(big);
    processingLabel->setAlignment(Qt::AlignCenter);
    labelLoader = new QLabel(processingFrame);
    labelLoader->setObjectName(QStringLiteral("labelLoader"));
    labelLoader->setAlignment(Qt::AlignCenter);
    movie = Hidpi::movie(QStringLiteral(":/IMG/BUSY_DARK"), form);
    showBusyMovie(labelLoader, movie);
    processing->addStretch();
    processing->addWidget(processingLabel);
    processing->addWidget(labelLoader);
    processing->addStretch();
    layout->addWidget(processingFrame, 1);

    cancelButton = new QPushButton(QObject::tr("Zamknij"), form);
    cancelButton->setObjectName(QLatin1String(cancelName));
    cancelButton->setFixedHeight(67);
    cancelButton->setMaximumWidth(400);
    cancelButton->setFont(big);
    cancelButton->setStyleSheet(cancelStyle());
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    FormStyle::fitInside(cancelButton, QSize(300, 67), QSize(400, 67));
    showPageAddress(QString());
    showProcessing(true);
}

void PinPanel::showPageAddress(const QString& page)
{
    pageAddress->setPlainText(page);
    pageAddress->setFixedHeight(pageAddress->fontMetrics().lineSpacing() * 3 + 12);
    pageHint->setVisible(!page.isEmpty());
    pageAddress->setVisible(!page.isEmpty());
    // Three lines of address and the hint take the room of the wide spacing.
    codeFrame->layout()->setSpacing(page.isEmpty() ? 25 : 8);
}

void PinPanel::showProcessing(bool processing)
{
    processingFrame->setMaximumHeight(processing ? 16777215 : 0);
    processingFrame->setVisible(processing);
    codeFrame->setMaximumHeight(processing ? 0 : 16777215);
    codeFrame->setVisible(!processing);
    if (processing)
        movie->start();
    else
        movie->stop();
}

PageAddress::PageAddress(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("pageAddress"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setWordWrapMode(QTextOption::WrapAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(QStringLiteral("QPlainTextEdit { color: black; background-color: white; border: 2px solid "
                                 "rgb(228, 167, 171); border-radius: 4px; }"));
}

void PageAddress::mouseReleaseEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    if (textCursor().hasSelection())
        return; // the user chose a part
    selectAll();
    copy();
}

SoftKeyboard::SoftKeyboard(QLineEdit* lineEdit) : QObject(lineEdit), field(lineEdit)
{
    field->installEventFilter(this);
}

void SoftKeyboard::hide()
{
    QApplication::postEvent(field, new QEvent(QEvent::Type(closePanel)));
}

bool SoftKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field && event->type() == QEvent::FocusIn)
        QApplication::postEvent(field, new QEvent(QEvent::Type(requestPanel)));
    return false;
}

QFrame* serviceDialogFrame(QWidget* dialog, QWidget* content, const QSize& fixedSize)
{
    QGridLayout* outer = new QGridLayout(dialog);
    outer->setObjectName(QStringLiteral("gridLayout_2"));
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);
    QFrame* frame = new QFrame(dialog);
    frame->setObjectName(QStringLiteral("frame"));
    if (fixedSize.isValid())
        FormStyle::fitInside(frame, fixedSize, fixedSize);
    else
        FormStyle::fitInside(frame, QSize(439, 410), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    frame->setStyleSheet(QStringLiteral("#frame { border-image: ")
        + Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/BACK"), 20, 28, 25, 28) + QStringLiteral(
        " stretch stretch; border-width: 20px 28px 25px 28px; background: transparent; color: white; }"
        "QLabel { color: white; }"));
    QGridLayout* inner = new QGridLayout(frame);
    inner->setObjectName(QStringLiteral("gridLayout"));
    inner->setSpacing(0);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1);
    inner->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    inner->addWidget(content, 1, 1);
    inner->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 2);
    inner->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 1);
    outer->addWidget(frame, 0, 0, Qt::AlignCenter);
    return frame;
}
