// Frame and face-upload figures of the cube renderer. Run by bench/run.sh under Wine:
//   bench_cube.exe <frames> <jpeg 512> <jpeg 1024>
// (a) an empty frame (clear and present), (b) the cube's six quads without textures, (c) the
// full cube frame, all at the back-buffer size of a 1024 x 768 display; then the time to load,
// compose and upload one face background from a JPEG against libjpeg's decode of that file.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "components/jpeg.h"
#include "control/uGranDesktop.h"
#include "control/uGlobal.h"
#include "control/uInit.h"
#include "control/uRender.h"
#include "control/uTexture.h"
#include "shared/uOptionsShared.h"

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

// Milliseconds per frame of each kind: the kinds take turns in rounds (so that a busy machine
// weighs on all of them alike) and each figure is the median over the rounds.
std::vector<double> FrameMs(BenchHost& host, gTGlobalVars& g, int frames, const std::vector<TFrame>& kinds) {
    const int rounds = 7;
    const int perRound = std::max(5, frames / rounds);
    std::vector<std::vector<double>> samples(kinds.size());
    for (TFrame f : kinds)
        for (int i = 0; i < 10; ++i) f(host, g);
    for (int r = 0; r < rounds; ++r) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            g.SpinY = 3;  // keep the cube turning (the spin slows down)
            const double start = Now();
            for (int i = 0; i < perRound; ++i) kinds[k](host, g);
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

void ComposeFigures(T3DPanel& face, const std::string& file, uint16_t side) {
    const int rounds = 15;
    std::vector<double> alone, composed[3], load, compose, upload;
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
    }
    const double a = Median(alone);
    std::printf("face %ux%u from %s\n", side, side, file.c_str());
    std::printf("  libjpeg decode alone          %8.2f ms\n", a);
    const char* names[3] = {"stretch", "centre", "tile"};
    for (int pos = 0; pos < 3; ++pos) {
        const double c = Median(composed[pos]);
        std::printf("  load+compose+upload %-9s %8.2f ms   ratio %.2f%s\n", names[pos], c, c / a,
                    pos == 0 ? "   (target <= 1.5)" : "");
    }
    std::printf("  stretch in parts: load %.2f, compose %.2f, upload %.2f ms\n", Median(load), Median(compose),
                Median(upload));
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
    BenchHost host;
    host.window = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    Settings.d3d_qw = 2;
    Settings.use_3d_wallpaper = false;
    Settings.ShowFPS = false;
    TFaceArray faces{};
    gTGlobalVars g;
    InitGlobalVars(g, &faces);
    try {
        if (!InitScene(host.window, g)) {
            std::printf("no Direct3D device\n");
            return 1;
        }
        std::printf("back buffer %ux%u, %d frames each\n", g.D3D.BackBufferWidth, g.D3D.BackBufferHeight, frames);
        // Faces with pictures, as the desktop shows them.
        for (int n = 1; n <= 6; ++n) {
            faces[n]->Picture.LoadFromFile(jpeg512);
            faces[n]->BackPicPos = kPicStretch;
            faces[n]->ComposeBackground();
        }
        const std::vector<double> ms = FrameMs(host, g, frames, {EmptyFrame, UntexturedCubeFrame, CubeFrame});
        const double a = ms[0], b = ms[1], c = ms[2];
        std::printf("(a) empty frame (clear+present)   %7.3f ms/frame\n", a);
        std::printf("(b) six quads, untextured          %7.3f ms/frame\n", b);
        std::printf("(c) full cube frame                %7.3f ms/frame\n", c);
        std::printf("c/b %.3f (target <= 1.15)   c/a %.3f\n", c / b, c / a);

        ComposeFigures(*faces[1], jpeg512, 512);
        ComposeFigures(*faces[1], jpeg1024, 1024);
        ReleaseScene(g);
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", e.what());
        return 1;
    }
    DestroyWindow(host.window);
    return 0;
}
