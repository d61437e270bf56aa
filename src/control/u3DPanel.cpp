// The face panel: a textured quad with its vertex buffer and managed texture.
#include "control/u3DPanel.h"

#include <cstring>
#include <utility>

#include "control/uTexture.h"

using comp::Bitmap;

T3DPanel::T3DPanel(uint16_t textureWidth, uint16_t textureHeight, IDirect3DDevice9* device,
                   const d3dmath::TVector3& normal, const TCubeVertex& v0, const TCubeVertex& v1,
                   const TCubeVertex& v2, const TCubeVertex& v3)
    : Vertices{v0, v1, v2, v3}, Normal(normal), Device(device), World(d3dmath::Identity()),
      TextureWidth(textureWidth), TextureHeight(textureHeight) {
    if (Device) Device->AddRef();
    CreateTexture();
    FillVertexBuffer();
}

T3DPanel::~T3DPanel() {
    if (Texture) Texture->Release();
    ReleaseVertexBuffer();
    if (Device) Device->Release();
}

void T3DPanel::CreateTexture() {
    if (Texture) {
        Texture->Release();
        Texture = nullptr;
    }
    if (!Device) return;
    IDirect3DTexture9* texture = nullptr;
    if (SUCCEEDED(Device->CreateTexture(TextureWidth, TextureHeight, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                        &texture, nullptr)))
        Texture = texture;
}

void T3DPanel::SetTextureSize(uint16_t width, uint16_t height) {
    if (!IsFaceTextureSide(width) || !IsFaceTextureSide(height)) return;
    TextureWidth = width;
    TextureHeight = height;
    CreateTexture();
}

void T3DPanel::FillColor(COLORREF colour) { FaceBitmap().Fill(colour); }

void T3DPanel::ComposeBackground() {
    // With a texture to fill, the upload leaves the face bitmap 24 bits per pixel whatever the
    // composition made it: a centred face is not made 32 bits on the way.
    if (!ComposeFacePicture(FaceBitmap(), TextureWidth, TextureHeight, BackPicPos, BackColor, Texture != nullptr))
        return;
    CopyBitmapToTexture(Texture, FaceBitmap(), 0, 0);
}

HRESULT T3DPanel::FillVertexBuffer() {
    ReleaseVertexBuffer();
    if (!Device) return E_FAIL;
    IDirect3DVertexBuffer9* buffer = nullptr;
    HRESULT hr = Device->CreateVertexBuffer(sizeof(TFaceQuad), 0, kCubeFVF, D3DPOOL_DEFAULT, &buffer, nullptr);
    if (FAILED(hr)) return hr;
    void* data = nullptr;
    hr = buffer->Lock(0, sizeof(TFaceQuad), &data, 0);
    if (FAILED(hr)) {
        // A buffer that could not be filled is not kept: it would be drawn with whatever it holds.
        buffer->Release();
        return hr;
    }
    std::memcpy(data, Vertices.data(), sizeof(TFaceQuad));
    buffer->Unlock();
    VertexBuffer = buffer;
    return S_OK;
}

void T3DPanel::ReleaseVertexBuffer() {
    if (VertexBuffer) VertexBuffer->Release();
    VertexBuffer = nullptr;
}

void T3DPanel::Draw() {
    // A buffer or texture that could not be made (or refilled after a reset) leaves the face undrawn.
    if (!Device || !VertexBuffer || !Texture) return;
    Device->SetTransform(D3DTS_WORLD, &World);
    Device->SetStreamSource(0, VertexBuffer, 0, sizeof(TCubeVertex));
    Device->SetVertexShader(nullptr);
    Device->SetFVF(kCubeFVF);
    Device->SetTexture(0, Texture);
    Device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}
