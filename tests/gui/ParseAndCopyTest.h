// The test class stays apart from the window's headers: moc reads only Qt here.
#pragma once

#include <QObject>

class ParseAndCopyTest : public QObject {
    Q_OBJECT

private slots:
    void clickOnParseButton_data();
    void clickOnParseButton();
    void fetchRunsUnderABusyCursor();
};
