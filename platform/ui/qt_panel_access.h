// Direct access to the widgets behind panel handles and control constants, for the
// console's Qt glue and for tests that drive the panel with QTest.
#pragma once

class QWidget;

QWidget* PanelWidget(int panel);
QWidget* CtrlWidget(int panel, int control);
