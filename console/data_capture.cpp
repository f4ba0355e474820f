// Data: one monitor exchange, the four data blocks, and both data graphs.
#include "console/commands.h"
#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "platform/serial/rs232.h"
#include "resources/panel_ids.h"
#include "scope/data_graphs.h"
#include "scope/monitor.h"
#include "scope/reference_curves.h"

namespace kervano {

int CC_BTNData(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
               int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;

    SetCtrlAttribute(panelHandle, PANEL_STRIPTOP, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_VISIBLE, 1);

    FlushInQ(com);
    FlushOutQ(com);
    rx_flag = 0;
    // The request carries whatever pp holds, normally the last reply taken in.
    order = ORDER_MONITOR;
    FillTxBuf(ORDER_MONITOR, pp);
    nBytesW = WriteTxBuf(com);
    WaitRxFull();
    PlotRAWValues();

    // Blocks have no frame header: with the notification on, their first 36 bytes would
    // be taken for a frame.
    RemoveReceiveNotification();
    FlushInQ(com);
    FlushOutQ(com);
    for (int start : {0, 64, 128, 192}) {
        order = ORDER_DATA;
        ReadData64(start, 1, ORDER_DATA);
    }
    InstallReceiveNotification();

    ComputeLimits();
    FillTopLines();
    PlotDATATop(yArrayA, upArray, loArray, refArray);
    FillBotLines();
    PlotDATABot(yArrayB, upArray, loArray, refArray);

    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 0);
    FlushOutQ(com);
    FlushInQ(com);
    return 0;
}

}  // namespace kervano
