import QtQuick
import com.meego 1.0
import MainWidget 1.0

PageStackWindow {
    id: pageStackWindowId
    initialPage: mainPage

    signal msgBoxAccepted()
    signal msgBoxRejected()
    signal pauseApp()
    signal resumeApp()

    Connections {
        target: platformWindow
        function onViewModeChanged() { updateViewMode() }
        function onVisibleChanged() { updateVisible() }
        function onActiveChanged() { updateActive() }
    }

    Page {
        id: mainPage

        QMainWidgetItem {
            anchors.fill: parent
        }

        QueryDialog {
            id: queryDialogId
            anchors.fill: parent
            message: ""
            property bool isInClose: false
            onAccepted: {
                isInClose = true
                pageStackWindowId.msgBoxAccepted()
                close()
                isInClose = false
            }
            onRejected: {
                isInClose = true
                pageStackWindowId.msgBoxRejected()
                close()
                isInClose = false
            }
        }

        // Opened when a question is asked from inside the answer to the first one.
        QueryDialog {
            id: queryDialogId2
            anchors.fill: parent
            message: ""
            onAccepted: {
                pageStackWindowId.msgBoxAccepted()
                close()
            }
            onRejected: {
                pageStackWindowId.msgBoxRejected()
                close()
            }
        }
    }

    function chooseDialog() {
        return queryDialogId.isInClose ? queryDialogId2 : queryDialogId
    }

    // Return answers with the safe choice: "Nie" to a yes/no question, a retry to "Powtórz".
    function showBox(text, title, acceptText, rejectText, returnAccepts) {
        var dialog = chooseDialog()
        dialog.acceptButtonText = acceptText
        dialog.rejectButtonText = rejectText
        dialog.returnAccepts = returnAccepts
        dialog.message = text
        dialog.titleText = title
        dialog.open()
    }

    function showMsgBoxOk(text, title) {
        showBox(text, title, "OK", "", true)
    }

    function showMsgBoxYesNo(text, title) {
        showBox(text, title, "Tak", "Nie", false)
    }

    function showMsgBoxBackAgain(text, title) {
        showBox(text, title, "Powtórz", "Anuluj", true)
    }

    function setOrientationPortrait() {
    }

    function setOrientationLandscape() {
    }

    function setOrientationAuto() {
    }

    function updateViewMode() {
        if (platformWindow.viewMode == WindowState.Fullsize)
            resumeApp()
        else
            pauseApp()
    }

    function updateVisible() {
        if (platformWindow.visible)
            resumeApp()
        else
            pauseApp()
    }

    function updateActive() {
        if (platformWindow.active)
            resumeApp()
        else
            pauseApp()
    }
}
