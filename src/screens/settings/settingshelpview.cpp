#include "screens/settings/settingshelpview.h"

#include <QFrame>
#include <QResizeEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "screens/widgets/contenttextbrowser.h"

SettingsHelpView::SettingsHelpView(QWidget* parent) : QWidget(parent), textBrowser(nullptr), lastWidth(-1)
{
    setObjectName(QStringLiteral("SettingsHelpView"));
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QFrame* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    QVBoxLayout* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(4, 4, 4, 4);
    textBrowser = new ContentTextBrowser(frame);
    textBrowser->setObjectName(QStringLiteral("textBrowser"));
    textBrowser->setFrameShape(QFrame::NoFrame);
    textBrowser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBrowser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBrowser->verticalScrollBar()->setEnabled(false);
    textBrowser->horizontalScrollBar()->setEnabled(false);
    textBrowser->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    textBrowser->setTextInteractionFlags(Qt::NoTextInteraction);
    Theme::follow(frame, [frame, this] {
        frame->setStyleSheet(QStringLiteral("#frame { background-color: %1; }").arg(Theme::css(Theme::Page)));
        textBrowser->setStyleSheet(QStringLiteral("background-color: %1; color: %2;")
                                       .arg(Theme::css(Theme::Page), Theme::css(Theme::Text)));
    });
    TextScale::follow(textBrowser, 16, false);
    textBrowser->setHtml(helpText());
    inner->addWidget(textBrowser);
    layout->addWidget(frame);
}

QString SettingsHelpView::helpText()
{
    auto heading = [](const QString& text) { return QStringLiteral("<p align=\"center\"><b>") + text + QStringLiteral("</b></p>"); };
    auto paragraph = [](const QString& text) { return QStringLiteral("<p>") + text + QStringLiteral("</p>"); };
    const QString empty = QStringLiteral("<p><br/></p>");
    return QStringLiteral("<html><head><style>p { margin: 0px; }</style></head><body style=\"font-size:16pt\">") +
           heading(tr("Teczka")) +
           paragraph(tr("Jeśli chcesz zachować artykuł na dłużej dodaj go do teczki. Wybierz ikonę Teczki u dołu "
                            "ekranu. Dzięki temu będziesz mógł czytać artykuł i przeglądać dołączone do niego zdjęcia "
                            "dopóki nie usuniesz artykułu z teczki")) +
           empty + heading(tr("Ustawienia")) + empty + heading(tr("Kategorie")) +
           paragraph(tr("Jeśli nie chcesz pobierać artykułów ze wszystkich kategorii na liście kategorii w "
                            "Ustawieniach odznacz te, które są dla ciebie nieinteresujące. ")) +
           empty + heading(tr("Online")) +
           paragraph(tr("Możesz ustawić jak często aplikacja ma sprawdzać czy są dostępne nowe wiadomości. Ustal "
                            "godziny szczytu za pomocą przycisków a następnie określ przedział czasowy w jakim "
                            "aplikacja będzie nawiązywała połączenie z internetem w celu pobrania nowych wiadomości.")) +
           paragraph(tr("Pamiętaj, że jeśli nie masz wykupionego pakietu danych i nie korzystasz z Wi-Fi "
                            "połączenie z internetem naraża cię na dodatkowe koszta, zależne od Twojego operatora.")) +
           empty + heading(tr("Serwisy społecznościowe")) + empty +
           paragraph(tr("Dla Twojej wygody aplikacja zapamiętuje hasła do serwisów społecznościowych i "
                            "przechowuje je zaszyfrowane w pamięci urządzenia. Dane te nie są wykorzystywane w żaden "
                            "inny sposób jak tylko do logowania do określonego serwisu celem umieszczenia na nim "
                            "posta dotyczącego wybranego przez ciebie artykułu. Jeśli wylogujesz się z serwisu "
                            "społecznościowego wszelkie informacje zostaną usunięte i będziesz musiał ponownie "
                            "wprowadzić login i hasło aby umieścić wybrany post. ")) +
           empty + QStringLiteral("</body></html>");
}

QSize SettingsHelpView::sizeHint() const
{
    return QSize(width(), textBrowser->sizeHint().height() + 18);
}

void SettingsHelpView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (e->size().width() != lastWidth) {
        lastWidth = e->size().width();
        emit contentSizeChanged();
    }
}

void SettingsHelpView::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
}

void SettingsHelpView::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
}

void SettingsHelpView::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
}
