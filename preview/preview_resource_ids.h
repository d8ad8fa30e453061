#pragma once

// Resources of the preview pane (res/preview.rc).
#define IDB_DATABASE_TREE 181
#define IDB_PREVIEW_CORRUPT_FILE 196
#define IDB_PREVIEW_NOT_AVAILABLE 197
#define IDB_PREVIEW_SELECT_FILE 211
#define IDB_PREVIEW_LARGE_FILE 297
#define IDD_PREVIEW_HTML_CANVAS 225
