/* Texts of the finder's resources, as plain macros so that both the program (through
   resource_ids.h) and the Windows resource compiler read them from here. */
#pragma once

#define ORVAN_STRING_OLE_INIT_FAILED \
    L"OLE initialization failed.  Make sure that the OLE libraries are the correct version."
#define ORVAN_STRING_MAIN_FRAME L"Selvani Version 1.2.7.0"

/* The about dialog. */
#define ORVAN_ABOUT_CAPTION L"About Selvani"
#define ORVAN_ABOUT_VERSION_LINE L"Selvani, Version 1.2.7.0"
#define ORVAN_ABOUT_COPYRIGHT_LINE L"Copyright (C) 2026"
#define ORVAN_ABOUT_OK_BUTTON L"OK"

/* The frame's menu, which the program removes when the frame is created. */
#define ORVAN_MENU_FILE L"&File"
#define ORVAN_MENU_EXIT L"E&xit"
#define ORVAN_MENU_HELP L"&Help"
#define ORVAN_MENU_ABOUT L"&About Selvani..."
