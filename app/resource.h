// Resource identifiers shared by pelloram.rc and the window code.
#pragma once

#define IDR_PICTURE_SMILING_FACE 201
#define IDR_PICTURE_HEART 202
#define IDR_PICTURE_FOLDER 203
