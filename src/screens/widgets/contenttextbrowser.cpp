#include "screens/widgets/contenttextbrowser.h"

#include <QResizeEvent>
#include <cmath>

ContentTextBrowser::ContentTextBrowser(QWidget* parent) : QTextBrowser(parent), fitted_height(0)
{
    connect(this, &QTextEdit::textChanged, this, &ContentTextBrowser::fitHeightToDocument);
}

QSize ContentTextBrowser::sizeHint() const
{
    QSize size = QTextBrowser::sizeHint();
    size.setHeight(fitted_height);
    return size;
}

void ContentTextBrowser::fitHeightToDocument()
{
    document()->setTextWidth(width() - 8);
    fitted_height = int(std::lround(document()->size().height()));
    updateGeometry();
}

void ContentTextBrowser::resizeEvent(QResizeEvent* e)
{
    QTextBrowser::resizeEvent(e);
    fitHeightToDocument();
}

// Touches on the body belong to the column: no selection, no links.
void ContentTextBrowser::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
}

void ContentTextBrowser::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
}

void ContentTextBrowser::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
}
