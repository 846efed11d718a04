import QtQuick
import com.meego 1.0
import SplashWidget 1.0

PageStackWindow {
    id: pageStackWindow
    initialPage: splashPage

    Page {
        id: splashPage
        orientationLock: PageOrientation.LockPortrait

        QSplashWidgetItem {
            anchors.fill: parent
        }
    }
}
