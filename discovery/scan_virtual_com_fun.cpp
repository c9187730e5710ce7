#include "discovery/scan_virtual_com_fun.h"

#include "app/shared_state.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

// The device listing and the port probe come with the discovery work; until
// then the scan finds no port and the list stays empty.
int Get_Windows_Device_info(const char * /*file_name*/)
{
    return 0;
}

void Scan_USB_Virtual_ComPort_to_list()
{
    ClearListCtrl(gvScan, SCAN_COM_LIST);
}

int Analysis_Com_F(int /*panel*/, int /*control*/, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event == EVENT_COMMIT) {
        Get_Windows_Device_info("All_DEV.txt");
        Scan_USB_Virtual_ComPort_to_list();
    }
    return 0;
}

int LISTBOX_F(int, int, int, void *, int, int)
{
    return 0;
}
