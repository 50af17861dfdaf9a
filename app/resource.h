// Resource identifiers shared by pelloram.rc and the window code.
#pragma once

// The lowest icon id is the one Explorer shows for the file.
#define IDI_PELLORAM 1

#define IDR_PICTURE_SMILING_FACE 201
#define IDR_PICTURE_HEART 202
#define IDR_PICTURE_FOLDER 203
