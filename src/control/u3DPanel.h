// One face of the cube as Direct3D sees it: a textured quad with its own vertex buffer, the
// face bitmap from which the texture is filled, and the composition of the face background
// from a picture (stretched, centred on a colour, or tiled).
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <cstdint>

#include "components/picture.h"
#include "control/d3dmath.h"
#include "control/uCube.h"
#include "shared/uFacePicture.h"  // the picture positions of BackPicPos and the composition

class T3DPanel {
public:
    T3DPanel(uint16_t textureWidth, uint16_t textureHeight, IDirect3DDevice9* device,
             const d3dmath::TVector3& normal, const TCubeVertex& v0, const TCubeVertex& v1,
             const TCubeVertex& v2, const TCubeVertex& v3);
    virtual ~T3DPanel();
    T3DPanel(const T3DPanel&) = delete;
    T3DPanel& operator=(const T3DPanel&) = delete;

    // Only for 256, 512 or 1024 on each side: new size and a new, empty texture.
    void SetTextureSize(uint16_t width, uint16_t height);
    // Fills the face bitmap at its current size; nothing is uploaded.
    void FillColor(COLORREF colour);
    // Builds the face background from the picture the face bitmap holds and uploads it.
    void ComposeBackground();
    // (Re)creates the default-pool vertex buffer and fills it with the four vertices; a buffer that
    // could not be filled is released (none is left).
    HRESULT FillVertexBuffer();
    // Releases the vertex buffer (before a device reset).
    void ReleaseVertexBuffer();
    // Draws the quad with World and the texture; nothing without a vertex buffer or a texture.
    void Draw();

    comp::Bitmap& FaceBitmap() { return Picture.GetBitmap(); }

    TFaceQuad Vertices;
    d3dmath::TVector3 Normal;
    IDirect3DVertexBuffer9* VertexBuffer = nullptr;
    comp::Picture Picture;
    IDirect3DTexture9* Texture = nullptr;
    IDirect3DDevice9* Device = nullptr;
    d3dmath::TMatrix World;
    uint8_t BackPicPos = kPicStretch;
    COLORREF BackColor = 0;
    uint16_t TextureWidth;
    uint16_t TextureHeight;

private:
    void CreateTexture();
};
