// Frame, face-upload and face-folder figures of the cube renderer. Run by bench/run.sh under Wine:
//   bench_cube.exe <frames> <jpeg 512> <jpeg 1024>
// (a) an empty frame (clear and present), (b) the cube's six quads without textures, (b') the same
// six quads with the same face textures and sampler state drawn by a bare loop, (c) the full cube
// frame, all at the back-buffer size of a 1024 x 768 display; the full frame with six faces full of
// icons against six plain faces; the time to load, compose and upload one face background from a
// JPEG against libjpeg's decode of that file; and scanning and drawing a face folder of 200 and of
// 2000 items, and one re-scan after one new file against a full scan.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}
#include <objbase.h>
#include <shlobj.h>

#include "components/jpeg.h"
#include "components/paths.h"
#include "control/uCube.h"
#include "control/uGranDesktop.h"
#include "control/uGlobal.h"
#include "control/uInit.h"
#include "control/uRender.h"
#include "control/uTexture.h"
#include "shared/uOptionsShared.h"
#include "shared/uPath.h"

namespace {

// Milliseconds on the high-resolution counter, relative to the first call. The difference is
// taken in integers: Direct3D leaves the FPU at single precision, which would round a large
// absolute count to whole milliseconds.
double Now() {
    static LARGE_INTEGER f{}, start{};
    if (!f.QuadPart) {
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&start);
    }
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    const int64_t micro = (c.QuadPart - start.QuadPart) * 1000000 / f.QuadPart;
    return static_cast<double>(micro) / 1000.0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct BenchHost : IRenderHost {
    HWND window = nullptr;
    HWND Handle() override { return window; }
    void SetRenderTimerEnabled(bool) override {}
    void SetFPSCaption(const std::string&) override {}
};

LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

// libjpeg alone: decode the file's bytes into rows of blue, green, red.
void DecodeAlone(const std::vector<uint8_t>& data, std::vector<uint8_t>& pixels) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const size_t stride = (cinfo.output_width * 3 + 3) & ~3u;
    pixels.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

using TFrame = void (*)(BenchHost&, gTGlobalVars&);

// One kind of frame on one scene.
struct FrameKind {
    TFrame frame;
    BenchHost* host;
    gTGlobalVars* g;
};

// Milliseconds per frame of each kind: the kinds take turns in rounds (so that a busy machine
// weighs on all of them alike) and each figure is the median over the rounds.
std::vector<double> FrameMs(int frames, const std::vector<FrameKind>& kinds) {
    const int rounds = 7;
    const int perRound = std::max(5, frames / rounds);
    std::vector<std::vector<double>> samples(kinds.size());
    for (const FrameKind& k : kinds)
        for (int i = 0; i < 10; ++i) k.frame(*k.host, *k.g);
    for (int r = 0; r < rounds; ++r) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            kinds[k].g->SpinY = 3;  // keep the cube turning (the spin slows down)
            const double start = Now();
            for (int i = 0; i < perRound; ++i) kinds[k].frame(*kinds[k].host, *kinds[k].g);
            samples[k].push_back((Now() - start) / perRound);
        }
    }
    std::vector<double> result;
    for (auto& s : samples) result.push_back(Median(s));
    return result;
}

void EmptyFrame(BenchHost&, gTGlobalVars& g) {
    IDirect3DDevice9* d = g.D3D.Device;
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    d->BeginScene();
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
}

void CubeFrame(BenchHost& host, gTGlobalVars& g) { RenderFrame(host, g); }

void UntexturedCubeFrame(BenchHost& host, gTGlobalVars& g) {
    // The same frame with the textures taken away for its length.
    IDirect3DTexture9* kept[7] = {};
    for (int n = 1; n <= 6; ++n) {
        kept[n] = (*g.Faces)[n]->Texture;
        (*g.Faces)[n]->Texture = nullptr;
    }
    RenderFrame(host, g);
    for (int n = 1; n <= 6; ++n) (*g.Faces)[n]->Texture = kept[n];
}

// Textures of the faces' clean backgrounds, put in for the plain faces' frame.
IDirect3DTexture9* gPlainTextures[7] = {};

void PlainFacesFrame(BenchHost& host, gTGlobalVars& g) {
    IDirect3DTexture9* kept[7] = {};
    for (int n = 1; n <= 6; ++n) {
        kept[n] = (*g.Faces)[n]->Texture;
        (*g.Faces)[n]->Texture = gPlainTextures[n];
    }
    RenderFrame(host, g);
    for (int n = 1; n <= 6; ++n) (*g.Faces)[n]->Texture = kept[n];
}

// The floor of the cube's frame: the same six quads with the same textures and sampler state, the
// world matrix of the frame set once, nothing else.
void BareTexturedFrame(BenchHost&, gTGlobalVars& g) {
    IDirect3DDevice9* d = g.D3D.Device;
    static d3dmath::TMatrix world = d3dmath::Identity();
    world = d3dmath::Multiply(world, d3dmath::RotationY(3 / 360.0f));
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    d->SetTransform(D3DTS_WORLD, &world);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->BeginScene();
    d->SetFVF(kCubeFVF);
    for (int n = 1; n <= 6; ++n) {
        const TGranDesktop* face = (*g.Faces)[n];
        d->SetStreamSource(0, face->VertexBuffer, 0, sizeof(TCubeVertex));
        d->SetTexture(0, face->Texture);
        d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
}

void ComposeFigures(T3DPanel& face, const std::string& file, uint16_t side) {
    const int rounds = 15;
    std::vector<double> alone, composed[3], load, compose, upload, centreCompose, centreUpload;
    std::vector<uint8_t> pixels;
    face.SetTextureSize(side, side);
    for (int i = 0; i < rounds; ++i) {
        double t = Now();
        DecodeAlone(comp::ReadFileBytes(file), pixels);
        alone.push_back(Now() - t);
        for (uint8_t pos : {kPicStretch, kPicCenter, kPicTile}) {
            t = Now();
            face.Picture.LoadFromFile(file);
            face.BackPicPos = pos;
            face.ComposeBackground();
            composed[pos].push_back(Now() - t);
        }
        // The stretch case in its parts.
        t = Now();
        face.Picture.LoadFromFile(file);
        const double loaded = Now();
        face.BackPicPos = kPicStretch;
        face.ComposeBackground();
        const double done = Now();
        CopyBitmapToTexture(face.Texture, face.FaceBitmap(), 0, 0);
        load.push_back(loaded - t);
        upload.push_back(Now() - done);
        compose.push_back(done - loaded - upload.back());
        // The centre case in its parts, composed as the face composes it for its texture.
        face.Picture.LoadFromFile(file);
        face.BackPicPos = kPicCenter;
        t = Now();
        ComposeFacePicture(face.FaceBitmap(), side, side, kPicCenter, face.BackColor, true);
        const double composedAt = Now();
        CopyBitmapToTexture(face.Texture, face.FaceBitmap(), 0, 0);
        centreCompose.push_back(composedAt - t);
        centreUpload.push_back(Now() - composedAt);
    }
    const double a = Median(alone);
    std::printf("face %ux%u from %s\n", side, side, file.c_str());
    std::printf("  libjpeg decode alone          %8.2f ms\n", a);
    const char* names[3] = {"stretch", "centre", "tile"};
    for (int pos = 0; pos < 3; ++pos) {
        const double c = Median(composed[pos]);
        std::printf("  load+compose+upload %-9s %8.2f ms   ratio %.2f   (target <= 1.5)\n", names[pos], c, c / a);
    }
    std::printf("  stretch in parts: load %.2f, compose %.2f, upload %.2f ms\n", Median(load), Median(compose),
                Median(upload));
    std::printf("  centre in parts:  compose %.2f, upload %.2f ms\n", Median(centreCompose), Median(centreUpload));
}

// A scratch folder under the temporary folder, removed at the end.
struct TempFolder {
    std::string path;
    explicit TempFolder(const char* name) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + name + std::to_string(GetCurrentProcessId()) + "\\";
        comp::ForceDirectories(path);
    }
    ~TempFolder() { Remove(path); }
    static void Remove(const std::string& folder) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(folder + name + "\\");
                else DeleteFileA((folder + name).c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(folder.c_str());
    }
};

void WriteText(const std::string& path, const std::string& text) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

bool MakeShortcut(const std::string& linkFile, const std::string& target) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->SetPath(target.c_str())) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
        std::wstring wide(linkFile.begin(), linkFile.end());
        ok = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

// A face folder of |count| items: a third each files, folders and shortcuts.
void FillFolder(const std::string& folder, int count) {
    comp::ForceDirectories(folder);
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "item" + std::to_string(i);
        switch (i % 3) {
            case 0: WriteText(name + ".txt", "some text"); break;
            case 1: CreateDirectoryA(name.c_str(), nullptr); break;
            default: MakeShortcut(name + ".lnk", "C:\\windows\\notepad.exe"); break;
        }
    }
}

std::unique_ptr<TGranDesktop> MakeFace(const std::string& folder, const std::string& ini, IDirect3DDevice9* device) {
    TCubeQuads quads;
    TCubeNormals normals;
    BuildCube(quads, normals);
    return std::make_unique<TGranDesktop>(folder, ini, device, normals[1], quads[1][0], quads[1][1], quads[1][2],
                                          quads[1][3], nullptr, 1);
}

// Scanning and drawing a face folder of 200 and 2000 items; one re-scan after one new file.
void FolderFigures(const std::string& root, IDirect3DDevice9* device) {
    const int rounds = 5;
    double full[2] = {};
    const int sizes[2] = {200, 2000};
    for (int k = 0; k < 2; ++k) {
        const std::string folder = root + "scan" + std::to_string(sizes[k]) + "\\";
        const std::string ini = root + "scan" + std::to_string(sizes[k]) + ".ini";
        FillFolder(folder, sizes[k]);
        std::vector<double> scans, rescans;
        for (int r = 0; r < rounds; ++r) {
            DeleteFileA(ini.c_str());
            double t = Now();
            std::unique_ptr<TGranDesktop> face = MakeFace(folder, ini, device);
            scans.push_back(Now() - t);
            WriteText(folder + "arrived.txt", "new");
            t = Now();
            face->Refresh();
            rescans.push_back(Now() - t);
            DeleteFileA((folder + "arrived.txt").c_str());
        }
        full[k] = Median(scans);
        const double again = Median(rescans);
        std::printf("face folder of %d items: scan and draw %8.2f ms, re-scan after one new file %7.2f ms"
                    " (%.1f %% of the scan)\n", sizes[k], full[k], again, 100.0 * again / full[k]);
    }
    std::printf("scan 2000 / scan 200: ratio %.2f (target <= 12)\n", full[1] / full[0]);
}

// Six faces each holding a full grid of items.
void FillDesktops(const std::string& data) {
    for (int n = 1; n <= 6; ++n) {
        const std::string folder = data + "Desktops\\" + std::to_string(n) + "\\";
        comp::ForceDirectories(folder);
        for (int i = 0; i < 49; ++i) WriteText(folder + "document " + std::to_string(i) + ".txt", "text");
    }
}

HWND MakeWindow(const char* cls) {
    return CreateWindowExA(0, cls, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    Now();
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    const std::string jpeg512 = argc > 2 ? argv[2] : "face512.jpg";
    const std::string jpeg1024 = argc > 3 ? argv[3] : "face1024.jpg";

    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VexlorBenchCube";
    RegisterClassA(&wc);
    CoInitialize(nullptr);
    // The faces' folders and layout files go to a data folder of the benchmark's own; each of the six
    // faces holds a full grid of items.
    TempFolder data("vexlor_bench_data_"), scratch("vexlor_bench_scan_");
    FillDesktops(data.path);
    AppDataPath = data.path;
    Settings.d3d_qw = 2;
    Settings.use_3d_wallpaper = false;
    Settings.ShowFPS = false;
    BenchHost host;
    host.window = MakeWindow(wc.lpszClassName);
    TFaceArray faces{};
    gTGlobalVars g;
    InitGlobalVars(g, &faces);
    int result = 0;
    try {
        if (!InitScene(host.window, g)) {
            std::printf("no Direct3D device\n");
            return 1;
        }
        std::printf("back buffer %ux%u, %d frames each\n", g.D3D.BackBufferWidth, g.D3D.BackBufferHeight, frames);

        // Icons live in the textures: faces full of them cost a frame what plain faces do. The plain
        // faces are the same faces with textures of their clean background put in for the frame.
        for (int n = 1; n <= 6; ++n) {
            IDirect3DTexture9* t = nullptr;
            g.D3D.Device->CreateTexture(512, 512, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
            CopyBitmapToTexture(t, faces[n]->FaceBitmap(), 0, 0);
            gPlainTextures[n] = t;
        }
        const std::vector<double> icons = FrameMs(frames, {{PlainFacesFrame, &host, &g}, {CubeFrame, &host, &g}});
        for (int n = 1; n <= 6; ++n) gPlainTextures[n]->Release();
        std::printf("full frame, six plain faces        %7.3f ms/frame\n", icons[0]);
        std::printf("full frame, six faces of 49 icons  %7.3f ms/frame   ratio %.3f (target: equal within noise)\n",
                    icons[1], icons[1] / icons[0]);

        // Faces with pictures, as the desktop shows them.
        for (int n = 1; n <= 6; ++n) {
            faces[n]->Picture.LoadFromFile(jpeg512);
            faces[n]->BackPicPos = kPicStretch;
            faces[n]->ComposeBackground();
        }
        const std::vector<double> ms = FrameMs(frames, {{EmptyFrame, &host, &g},
                                                        {UntexturedCubeFrame, &host, &g},
                                                        {BareTexturedFrame, &host, &g},
                                                        {CubeFrame, &host, &g}});
        const double a = ms[0], b = ms[1], bare = ms[2], c = ms[3];
        std::printf("(a) empty frame (clear+present)   %7.3f ms/frame\n", a);
        std::printf("(b) six quads, untextured          %7.3f ms/frame\n", b);
        std::printf("(b') six textured quads, bare loop %7.3f ms/frame\n", bare);
        std::printf("(c) full cube frame                %7.3f ms/frame\n", c);
        std::printf("c/b' %.3f (target <= 1.05)   c/b %.3f   c/a %.3f\n", c / bare, c / b, c / a);

        ComposeFigures(*faces[1], jpeg512, 512);
        ComposeFigures(*faces[1], jpeg1024, 1024);
        FolderFigures(scratch.path, g.D3D.Device);
        ReleaseScene(g);
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", e.what());
        result = 1;
    }
    DestroyWindow(host.window);
    CoUninitialize();
    return result;
}
