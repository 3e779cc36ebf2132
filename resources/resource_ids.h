// Ids shared by the language modules (.rc) and the code that looks them up.
// Plain #defines only: windres and the C++ compiler both read this file.
#pragma once

// ---- Bitmaps -------------------------------------------------------------
#define IDB_SAMPLE 110           // graphics page preview source, 24-bit
#define IDB_ALIGN_COLUMNS 201    // colour alignment: columns of the pattern
#define IDB_ALIGN_ROWS 202       // colour alignment: rows of the pattern
#define IDB_HEADS 301            // colour heads: 2, 3 and 4 heads (301..303)
#define IDB_ORIENTATION 208      // + orientation (0..3) + 4 mirror + 8 inverse, up to 223
#define IDB_WAIT 224             // wait window picture
#define IDB_STOCK 225            // stock editor: label, gaps and liner
#define IDB_LOGO 901             // about page logo (OEM module)
#define IDB_BANNER 902           // about page banner (OEM module)

// ---- Strings -------------------------------------------------------------
// Printer configuration dialog choices: 1..2 media, 3..15 character sets, 16 lpi suffix.
#define IDS_CFG_MEDIA 1
#define IDS_CFG_CHARSET 3
#define IDS_CFG_LPI 16
// Fonts page
#define IDS_FONT_BITMAP 442
#define IDS_FONT_PRINTER 443
#define IDS_FONT_TRUETYPE 444
#define IDS_FONT_NAME 445
#define IDS_FONT_PRINTER_NAME 446
#define IDS_FONT_SIZE 447
#define IDS_FONT_FILE_SIZE 448
#define IDS_FONT_FILTER_ALL 449
#define IDS_FONT_FILTER_BITMAP 450
#define IDS_FONT_FILTER_BOTH 451
#define IDS_FONT_FILTER_TRUETYPE 454
#define IDS_FONT_STATUS_REMOVED 455
#define IDS_FONT_STATUS_FAILED 456
#define IDS_FONT_RESIDENT 461
#define IDS_FONT_STATUS_SENDING 466
#define IDS_FONT_NOT_SENT 467
#define IDS_FONT_TOO_LARGE 468
// Regional page: 457 follow the system, 458..460 inches, millimetres, centimetres
#define IDS_MEASURE_SYSTEM 457
#define IDS_MEASURE_INCHES 458
#define IDS_MEASURE_MM 459
#define IDS_MEASURE_CM 460
// Advanced media dialog: user string slots 0..3
#define IDS_USER_STRING 462
// Units
#define IDS_UNIT_CM 471
#define IDS_UNIT_DPI 472
#define IDS_UNIT_DPMM 473
#define IDS_UNIT_INCH 479
#define IDS_UNIT_MILS 481
#define IDS_UNIT_MM 482
#define IDS_SECOND_LABEL 484
// Printer queries and messages
#define IDS_WARNING 474
#define IDS_PRINTER_QUERY 476
#define IDS_SEND_TO_PRINTER 477
#define IDS_ERR_SPOOLER 1229
#define IDS_ERR_PORT_SETTINGS 1233
#define IDS_NOT_SERIAL 1235
#define IDS_ERR_BUSY 1236
#define IDS_ERR_BAD_REQUEST 1237
#define IDS_ERR_NOT_SUPPORTED 1238
#define IDS_ERR_PARALLEL 1239
#define IDS_ERR_CLOSED 1240
#define IDS_CHECK_PRINTER 1261
#define IDS_PORT_NO_ANSWER 1262
#define IDS_NO_ANSWER_ON 1263
#define IDS_PRINTER_STATUS 1264
// Language names 1271..1289 (rows of the language table), warning 1299
#define IDS_LANG_FIRST 1271
#define IDS_LANG_LAST 1289
#define IDS_LANG_NEEDS_FONTS 1299
// Paper page and stock editor
#define IDS_DELETE_STOCK 1325
#define IDS_NEW_STOCK 1326
#define IDS_DUPLICATE_BARFONT 1330
#define IDS_STOCK_NAME_TITLE 4159
#define IDS_STOCK_NAME_RESERVED 4160
#define IDS_STOCK_NAME_EMPTY 4161
#define IDS_STOCK_NAME_LONG 4162
#define IDS_STOCK_NAME_TAKEN 4163      // format: the name
#define IDS_IMPORT_REFUSED 4164        // format: file, reason
#define IDS_SETTINGS_REFUSED 4165      // format: file, reason
#define IDS_FILE_NOT_WRITTEN 4166      // format: file
// Version report sections 1380..1387
#define IDS_REPORT_SECTION 1380
// Graphics page
#define IDS_MONOCHROME 1401
#define IDS_COLOUR 1402
#define IDS_MATRIX 4156
// Bar fonts: symbology names 1500 + id (0..29), rotations 1620 + rotation
#define IDS_SYMBOLOGY 1500
#define IDS_ROTATION 1620
#define IDS_AUTOMATIC 1600
#define IDS_RATIO 1601           // + (ratio - 200) / 10, ratios 2.0 to 3.0
#define IDS_READABLE 1630        // 0 none, 1 above, 2 below
#define IDS_ADDON 1640           // either, none, 2 digits, 5 digits
#define IDS_START_STOP 1650      // a..d
#define IDS_CODE128_ENCODING 1660
#define IDS_JAPANPOST_OPTION 1670
#define IDS_MAXICODE_MODE 1700
#define IDS_DATAMATRIX_ECC 1720
#define IDS_DATAMATRIX_SHAPE 1740
#define IDS_DATAMATRIX_FORMAT 1742
#define IDS_DATAMATRIX_BASE 1750
#define IDS_QR_MASK_AUTO 1800
#define IDS_QR_MASK_NONE 1801
#define IDS_QR_INPUT 1810
#define IDS_QR_ECC 1820
// Font download dialog
#define IDS_DOWNLOAD_TRUETYPE 1901
#define IDS_DOWNLOAD_BITMAP 1902
#define IDS_CHARSET_ALL 1910     // 1910..1917 character-set rows
#define IDS_REPLACE_FONT 1920
#define IDS_REPLACE_FONT_TITLE 1921
// Colour presets 2200..2224, custom colour 2225, colour modes 2250..2252
#define IDS_COLOUR_PRESET 2200
#define IDS_COLOUR_CUSTOM 2225
#define IDS_COLOUR_MODE 2250
#define IDS_NO_HEAD_USED 4154
#define IDS_COLOUR_SETUP_TITLE 4155
// File dialogs: title parts 2256 open, 2257 save, 2258 + file type
#define IDS_FILE_OPEN 2256
#define IDS_FILE_SAVE 2257
#define IDS_FILE_TYPE 2258
// Version report
#define IDS_VERSION 2265
#define IDS_BUILD 2266
// Paper page note and start-up choices (model module)
#define IDS_PAPER_NOTE 9002
#define IDS_START_ON_LAST_PAGE 9990

// ---- Controls ------------------------------------------------------------
// Custom control class of picture areas
#define BITMAP_CLASS "prtbitmap"

// PAGE_SETUP
#define IDC_SETUP_COPIES 315
#define IDC_SETUP_NOTE 318
#define IDC_SETUP_INVERSE 348
#define IDC_SETUP_MIRROR 352
#define IDC_SETUP_ORIENT0 355    // .. 358
#define IDC_SETUP_PREVIEW 362
#define IDC_SETUP_DELETE 383
#define IDC_SETUP_EDIT 384
#define IDC_SETUP_EXPORT 385
#define IDC_SETUP_IMPORT 387
#define IDC_SETUP_NEW 391
#define IDC_SETUP_ADVANCED 506
#define IDC_SETUP_STOCK 512
// DLG_WAITINFO
#define IDC_WAIT_PICTURE 363
// DLG_STOCK
#define IDC_STOCK_PICTURE 382
#define IDC_STOCK_HEIGHT 386
#define IDC_STOCK_LEFT_GAP 388
#define IDC_STOCK_NAME 389
#define IDC_STOCK_RIGHT_GAP 392
#define IDC_STOCK_WIDTH 393
// PAGE_GRAPHICS
#define IDC_GFX_COLOUR 309
#define IDC_GFX_PREVIEW 319
#define IDC_GFX_ADJUST 339
#define IDC_GFX_SETUP 340
#define IDC_GFX_ICM 341
#define IDC_GFX_ICM_LABEL 342
#define IDC_GFX_RESOLUTION 364
#define IDC_GFX_REGISTRATION 405
#define IDC_GFX_SPOT 406
#define IDC_GFX_METHOD0 1320     // .. 1324
// DLG_DITHER_COLORADJ: scroll bars and their value texts, check boxes
#define IDC_ADJ_BRIGHTNESS 345
#define IDC_ADJ_CONTRAST 346
#define IDC_ADJ_RED 349
#define IDC_ADJ_GREEN 350
#define IDC_ADJ_BLUE 351
#define IDC_ADJ_BRIGHTNESS_TEXT 347
#define IDC_ADJ_CONTRAST_TEXT 348
#define IDC_ADJ_RED_TEXT 352
#define IDC_ADJ_GREEN_TEXT 353
#define IDC_ADJ_BLUE_TEXT 354
#define IDC_ADJ_MIRROR 544
#define IDC_ADJ_FLIP 545
#define IDC_ADJ_NEGATIVE 546
// DLG_DITHER_SETUP
#define IDC_DITHER_CHOICE 545
// PAGE_OPTIONS
#define IDC_OPT_SWITCH 1105
#define IDC_OPT_VALUE 1107
#define IDC_OPT_VALUE_LABEL 1108
// PAGE_DEBUG
#define IDC_DBG_LINE_FEED 1101
#define IDC_DBG_LOGGING 1106
#define IDC_DBG_SEND_FILE 1107
#define IDC_DBG_CONFIGURE 1140
#define IDC_DBG_FORM_FEED 5012
#define IDC_DBG_TEST_PAGE 5031
// DLG_CONFIGURE
#define IDC_CFG_MEDIA 1104
#define IDC_CFG_DARKNESS 1118
#define IDC_CFG_DARKNESS_TEXT 1119
#define IDC_CFG_LPI 1126
#define IDC_CFG_OPTION1 1127
#define IDC_CFG_OPTION2 1128
#define IDC_CFG_CHARSET 1132
#define IDC_CFG_CODEPAGE 1137
#define IDC_CFG_IDENTITY 1139
// DLG_ADVANCED
#define IDC_ADV_SLOTS 493
#define IDC_ADV_TEXT 494
#define IDC_ADV_LOAD 495
#define IDC_ADV_SAVE 496
#define IDC_ADV_DISTANCE_ON 499
#define IDC_ADV_DISTANCE_LABEL 500
#define IDC_ADV_DISTANCE 501
#define IDC_ADV_WIDTH_GROUP 502
#define IDC_ADV_WIDTH_NOTE 503
#define IDC_ADV_WIDTH_LABEL 504
#define IDC_ADV_WIDTH 505
#define IDC_ADV_ALWAYS 506
// PAGE_BARFONT
#define IDC_BF_DELETE 304
#define IDC_BF_EDIT 305
#define IDC_BF_NEW 306
#define IDC_BF_LIST 307
#define IDC_BF_FILTER 308
#define IDC_BF_IMPORT 2019
#define IDC_BF_EXPORT 2020
#define IDC_BF_DETAILS 2021
// DLG_BARFONT
#define IDC_BFE_DISPLAY_FONT 326
#define IDC_BFE_FLAG 327
#define IDC_BFE_ROTATION 353
#define IDC_BFE_SYMBOLOGY 394
#define IDC_BFE_PANEL_FRAME 395
#define IDC_BFE_X_LABEL 2001
#define IDC_BFE_X 2002
#define IDC_BFE_RATIO_LABEL 2003
#define IDC_BFE_RATIO 2004
#define IDC_BFE_READABLE_LABEL 2005
#define IDC_BFE_READABLE 2006
#define IDC_BFE_NAME 2007
// DLG_BC_*: symbology option panels
#define IDC_BC_CHECK_CHAR 2008
#define IDC_BC_ENCODING_LABEL 2009
#define IDC_BC_ENCODING 2010
#define IDC_BC_OPTION 2011
#define IDC_BC_START_LABEL 2012
#define IDC_BC_START 2013
#define IDC_BC_STOP_LABEL 2014
#define IDC_BC_STOP 2015
#define IDC_BC_DISTANCE 2016
#define IDC_BC_ADDON_LABEL 2017
#define IDC_BC_ADDON 2018
#define IDC_BC_DISTANCE_LABEL 2022
#define IDC_BC_JAPANPOST 349
#define IDC_BC_JAPANPOST_LABEL 2023
#define IDC_PDF_TRUNCATED 2100
#define IDC_PDF_ROWS 2101
#define IDC_PDF_SECURITY 2102
#define IDC_PDF_COLUMNS 2103
#define IDC_PDF_SECURITY_LABEL 2104
#define IDC_PDF_ROWS_LABEL 2105
#define IDC_PDF_COLUMNS_LABEL 2106
#define IDC_MAXI_MODE 2201
#define IDC_MAXI_ZIPPER 2202
#define IDC_MAXI_CONTRAST 2203
#define IDC_MAXI_MODE_LABEL 2204
#define IDC_DM_FORMAT 2301
#define IDC_DM_BASE_LABEL 2302
#define IDC_DM_BASE 2303
#define IDC_DM_SHAPE_LABEL 2304
#define IDC_DM_SHAPE 2305
#define IDC_DM_OPTION 2306
#define IDC_DM_ECC 2307
#define IDC_DM_FORMAT_ON 2308
#define IDC_DM_ECC_LABEL 2309
#define IDC_QR_MODEL 2401
#define IDC_QR_MODEL_LABEL 2402
#define IDC_QR_MASK_LABEL 2403
#define IDC_QR_MASK 2404
#define IDC_QR_INPUT_LABEL 2405
#define IDC_QR_INPUT 2406
#define IDC_QR_ECC_LABEL 2407
#define IDC_QR_ECC 2408
// PAGE_FONT
#define IDC_FONT_ADD 328
#define IDC_FONT_FILTER 329
#define IDC_FONT_RESERVED1 330
#define IDC_FONT_LABELS 331
#define IDC_FONT_VALUES 332
#define IDC_FONT_LIST 333
#define IDC_FONT_DELETE 334
#define IDC_FONT_RESEND 335
#define IDC_FONT_RESERVED2 336
#define IDC_FONT_VERIFY 337
#define IDC_FONT_FILTER_LABEL 338
// FONT_DOWNLOAD (besides the font chooser's own controls)
#define IDC_FDL_CHARSET_LABEL 407
#define IDC_FDL_CHARSET 408
#define IDC_FDL_TYPE 409
#define IDC_FDL_ID_LABEL 410
#define IDC_FDL_LIST 411
#define IDC_FDL_ID 413
#define IDC_FDL_NAME_LABEL 414
#define IDC_FDL_NAME 415
#define IDC_FDL_TYPE_LABEL 416
// DLG_COLOR_SPOT
#define IDC_SPOT_PICTURE2 301    // 301..303: 2, 3 or 4 heads
#define IDC_SPOT_COMBO0 374      // .. 377
#define IDC_SPOT_SWATCH0 378     // .. 381
#define IDC_SPOT_USED0 547
#define IDC_SPOT_USED1 537       // .. 539
#define IDC_SPOT_MODE 541
#define IDC_SPOT_MODE_LABEL 542
// DLG_COLOR_REGISTRATION (+ head 0..3)
#define IDC_REG_HEAD_LABEL 4100
#define IDC_REG_H_LABEL 4110
#define IDC_REG_H 4120
#define IDC_REG_V_LABEL 4130
#define IDC_REG_V 4140
#define IDC_REG_ALIGN 4150
#define IDC_REG_REFERENCE 417
#define IDC_REG_REFERENCE_LABEL 418
#define IDC_REG_ALIGN_ALL 401
#define IDC_REG_TEST 402
// DLG_COLOR_ALIGN
#define IDC_ALN_COLUMNS 403
#define IDC_ALN_ROWS 404
#define IDC_ALN_ACCEPT 421       // 421..423 accept, refine, print again
#define IDC_ALN_COLUMN0 424      // .. 432
#define IDC_ALN_ROW0 433         // .. 441
// PAGE_REGIONAL
#define IDC_RGN_LANGUAGE 351
#define IDC_RGN_UNITS 397
// DLG_LOGGING
#define IDC_LOG_ON 513
#define IDC_LOG_DIR 515
#define IDC_LOG_FILE_BROWSE 517
#define IDC_LOG_OVERWRITE 519
#define IDC_LOG_DIR_LABEL 521
#define IDC_LOG_DELETE 525
#define IDC_LOG_DELETE_ALL 526
#define IDC_LOG_FILES 527
#define IDC_LOG_FILE 529
#define IDC_LOG_CLEAR 530
#define IDC_LOG_TEXT_ON 531
#define IDC_LOG_DIR_BROWSE 532
#define IDC_LOG_OPEN 533
#define IDC_LOG_SEND 534
#define IDC_LOG_FILE_LABEL 535
#define IDC_LOG_FILE_OPEN 536
// PAGE_ABOUT, DLG_LICENSE, DLG_VERSION
#define IDC_ABOUT_LOGO 100
#define IDC_ABOUT_COPYRIGHT 102
#define IDC_ABOUT_BANNER 103
#define IDC_ABOUT_LICENSE 110
#define IDC_ABOUT_VERSION 111
#define IDC_LICENSE_TEXT 418
#define IDC_VERSION_LINES 343
#define IDC_VERSION_SECTIONS 344
#define IDC_VERSION_SAVE 366

#define IDC_STATIC -1
