// The test class stays apart from the window's headers: moc reads only Qt here.
#pragma once

#include <QObject>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void stackingPutsTheNoticeOverTheResultBox();
    void resultBoxIsNeverDrawnButLive();
    void labelsDrawAmpersandAsItself();
    void windowIsFixedCentredAndMinimiseOnly();
    void clearButtonFaceComesFromFontconfig();
    void focusStartsInAddressBoxAndTabWraps();
    void focusReturnsOnReactivation();
    void escapeClosesFromEachFocusableControl_data();
    void escapeClosesFromEachFocusableControl();
    void enterClicksNoButton();
    void controlTextsCrossAsGbk();
    void clipboardReceivesTheText();
    void messageBoxFollowsTheFlags_data();
    void messageBoxFollowsTheFlags();
    void clearButtonEmptiesBothBoxesAndNothingElse();
};
