// Image lists over the common controls.
#include "components/imagelist.h"

#include "components/exceptions.h"

namespace comp {

ImageList::ImageList(int width, int height) : width_(width), height_(height) {
    list_ = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4);
    if (!list_) RaiseLastOSError("ImageList_Create");
}

ImageList::~ImageList() {
    if (list_) ImageList_Destroy(list_);
}

int ImageList::Count() const { return ImageList_GetImageCount(list_); }

int ImageList::AddMasked(const Bitmap& image, COLORREF maskColor) {
    if (image.Empty()) return -1;
    // The list rewrites the masked pixels of the bitmap it is given: hand it a copy.
    Bitmap copy(image);
    copy.SetPixelFormat(PixelFormat::pf24bit);
    HBITMAP handle = copy.Handle();
    return ImageList_AddMasked(list_, handle, maskColor);
}

int ImageList::Add(HBITMAP image, HBITMAP mask) { return ImageList_Add(list_, image, mask); }

void ImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    ImageList_DrawEx(list_, index, dc, x, y, 0, 0, CLR_NONE, enabled ? CLR_DEFAULT : GetSysColor(COLOR_BTNFACE),
                     enabled ? ILD_NORMAL : ILD_BLEND50);
}

}  // namespace comp
