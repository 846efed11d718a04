#ifndef CONTENTTEXTBROWSER_H
#define CONTENTTEXTBROWSER_H

#include <QTextBrowser>

// An article body that grows to its document's height; the column around it scrolls.
class ContentTextBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit ContentTextBrowser(QWidget* parent = nullptr);

    QSize sizeHint() const override;

public slots:
    void fitHeightToDocument();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int fitted_height;
};

#endif // CONTENTTEXTBROWSER_H
