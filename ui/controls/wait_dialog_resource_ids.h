#pragma once

// Resource ids of the please-wait dialog. The resource script res/wait_dialog.rc includes this header
// as well, so it holds plain definitions only. Its skin is IDB_SKIN_WAIT of message_box_resource_ids.h.

#define IDD_MODAL_WAIT_DLG 379

#define IDC_WAIT_MESSAGE 1135
