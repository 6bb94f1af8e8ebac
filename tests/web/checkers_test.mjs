// node tests/web/checkers_test.mjs WORK_DIR [MODEL_VIEWER_JS]
// Checks the checkers: validate_glb.mjs and page_check.mjs accept what is right and refuse each
// fault for its own reason, on the files in fixtures/ and on pages built here as orva export
// builds them (model-viewer's script inlined, the model and the poster as data: URIs).
// MODEL_VIEWER_JS is the script to inline (default: node_modules' copy). Prints one line per
// case and "N passed, N failed"; exit 1 when a case failed.
import { execFile } from 'node:child_process';
import { mkdir, readFile, rm, stat, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { PNG } from 'pngjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const fixtures = path.join(here, 'fixtures');
const [work, modelViewerArg] = process.argv.slice(2);
if (!work) {
    console.error('usage: node checkers_test.mjs WORK_DIR [MODEL_VIEWER_JS]');
    process.exit(2);
}
const modelViewer = modelViewerArg ??
    path.join(here, '../../node_modules/@google/model-viewer/dist/model-viewer.min.js');
await rm(work, { recursive: true, force: true });
await mkdir(work, { recursive: true });

function run(script, args) {
    return new Promise(resolve => {
        const started = Date.now();
        execFile(process.execPath, [path.join(here, script), ...args], { maxBuffer: 1 << 24 },
                 (error, stdout, stderr) => resolve({
                     status: error ? (typeof error.code === 'number' ? error.code : -1) : 0,
                     stdout, stderr, seconds: (Date.now() - started) / 1000,
                 }));
    });
}

let passed = 0;
let failed = 0;
async function test(name, body) {
    const started = Date.now();
    try {
        await body();
        passed++;
        console.log(`ok ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
    } catch (error) {
        failed++;
        console.log(`FAILED ${name}: ${error.message}`);
    }
}
function expect(condition, what, result) {
    if (condition) return;
    const output = result ? `\n--- stdout\n${result.stdout}--- stderr\n${result.stderr}` : '';
    throw new Error(`${what}${output}`);
}
function expectStatus(result, status) {
    expect(result.status === status, `exit status ${result.status}, expected ${status}`, result);
}
function expectLine(text, pattern, result) {
    expect(pattern.test(text), `no line matches ${pattern}`, result);
}
const fixture = name => path.join(fixtures, name);

// validate_glb.mjs
await test('a valid GLB with the material extensions passes', async () => {
    const r = await run('validate_glb.mjs', [fixture('gold_box.glb')]);
    expectStatus(r, 0);
    expectLine(r.stdout, /gold_box\.glb: valid: 0 errors, 0 warnings, 0 infos/, r);
    for (const name of ['KHR_materials_transmission', 'KHR_materials_ior', 'KHR_materials_volume',
                        'KHR_materials_dispersion', 'KHR_mesh_quantization']) {
        expectLine(r.stdout, new RegExp(`extensions .*${name}`), r);
    }
});
await test('infos are printed but pass', async () => {
    const r = await run('validate_glb.mjs', [fixture('unused_node_info.glb')]);
    expectStatus(r, 0);
    expectLine(r.stdout, /^ {2}info NODE_EMPTY \/nodes\/2: /m, r);
    expectLine(r.stdout, /^ {2}info UNUSED_OBJECT \/nodes\/2: /m, r);
});
await test('a warning fails', async () => {
    const r = await run('validate_glb.mjs', [fixture('alpha_cutoff_warning.glb')]);
    expectStatus(r, 1);
    expectLine(r.stdout, /INVALID: 0 errors, 1 warnings/, r);
    expectLine(r.stdout, /^ {2}warning MATERIAL_ALPHA_CUTOFF_INVALID_MODE \/materials\/0\/alphaCutoff: /m, r);
});
await test('errors fail, and a good file beside a bad one does not hide it', async () => {
    const r = await run('validate_glb.mjs', [fixture('gold_box.glb'), fixture('wrong_bounds.glb')]);
    expectStatus(r, 1);
    expectLine(r.stdout, /gold_box\.glb: valid/, r);
    expectLine(r.stdout, /wrong_bounds\.glb: INVALID: 3 errors/, r);
    expectLine(r.stdout, /^ {2}error ACCESSOR_MAX_MISMATCH \/accessors\/0\/max\/0: /m, r);
});
await test('a buffer outside the file is refused even when the file is there', async () => {
    const copy = path.join(work, 'external_buffer.glb');
    await writeFile(copy, await readFile(fixture('external_buffer.glb')));
    await writeFile(path.join(work, 'extra.bin'), new Uint8Array(16));
    const r = await run('validate_glb.mjs', [copy]);
    expectStatus(r, 1);
    expectLine(r.stdout, /^ {2}error IO_ERROR \/buffers\/1\/uri: .*refused/m, r);
});
await test('a file cut short fails', async () => {
    const cut = path.join(work, 'cut_short.glb');
    await writeFile(cut, (await readFile(fixture('gold_box.glb'))).subarray(0, 1500));
    const r = await run('validate_glb.mjs', [cut]);
    expectStatus(r, 1);
    expectLine(r.stdout, /cut_short\.glb: INVALID: [1-9]\d* errors/, r);
});
await test('a missing file fails', async () => {
    const r = await run('validate_glb.mjs', [path.join(work, 'no_such.glb')]);
    expectStatus(r, 1);
    expectLine(r.stdout, /no_such\.glb: cannot be read/, r);
});
await test('validate_glb usage errors exit 2', async () => {
    expectStatus(await run('validate_glb.mjs', []), 2);
    expectStatus(await run('validate_glb.mjs', ['--strict', fixture('gold_box.glb')]), 2);
});

// page_check.mjs, on pages built like the exported ones.
const script = await readFile(modelViewer, 'utf8');
// Inlined verbatim, the script must not end its own element early.
expect(!/<\/script/i.test(script), `${modelViewer} holds "</script": it cannot be inlined as it is`);
const poster = new PNG({ width: 64, height: 48 });
for (let i = 0; i < 64 * 48; i++) poster.data.set([200, 0, 200, 255], 4 * i);
const posterUri = `data:image/png;base64,${PNG.sync.write(poster).toString('base64')}`;
const glbUri = `data:model/gltf-binary;base64,${(await readFile(fixture('gold_box.glb'))).toString('base64')}`;
function page({ title, src }) {
    return `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${title}</title>
<style>html, body { margin: 0; height: 100%; background: #f2f2f2; } model-viewer { width: 100%; height: 100%; }</style>
<script type="module">
${script}
</script>
</head>
<body>
<model-viewer src="${src}" poster="${posterUri}" alt="A gold box with a clear stone" camera-controls
              auto-rotate environment-image="neutral" exposure="1"></model-viewer>
</body>
</html>
`;
}

await test('a good page passes, with its figures and a screenshot of the piece', async () => {
    const html = path.join(work, 'gold_box.html');
    const shot = path.join(work, 'gold_box.png');
    await writeFile(html, page({ title: 'Gold box', src: glbUri }));
    const r = await run('page_check.mjs', [html, shot, '--json']);
    expectStatus(r, 0);
    const report = JSON.parse(r.stdout.trim().split('\n').pop());
    expect(report.ok === true && report.failures.length === 0, 'the report is not ok', r);
    expect(report.page_bytes === (await stat(html)).size, 'page_bytes is not the size of the page', r);
    expect(report.load_ms > 0 && report.first_frame_ms >= report.load_ms,
           'load and first-frame times are missing or out of order', r);
    expect(report.drawn_share >= 0.05 && report.drawn_share <= 1, 'drawn_share is out of range', r);
    expect(Array.isArray(report.network_requests) && report.network_requests.length === 0,
           'network requests are listed', r);
    // The screenshot, read here on its own: the view's size, and the middle of it shows the gold
    // (red well above blue), not the magenta poster nor the grey page.
    const png = PNG.sync.read(await readFile(shot));
    expect(png.width === 1024 && png.height === 768, `the screenshot is ${png.width} x ${png.height}`);
    let gold = 0;
    let magenta = 0;
    let total = 0;
    for (let y = 300; y < 468; y++) {
        for (let x = 400; x < 624; x++) {
            const [red, green, blue] = png.data.subarray(4 * (y * 1024 + x), 4 * (y * 1024 + x) + 3);
            gold += red > blue + 40 && green > blue + 20 ? 1 : 0;
            magenta += red > 150 && blue > 150 && green < 80 ? 1 : 0;
            total++;
        }
    }
    expect(gold / total > 0.2, `only ${(100 * gold / total).toFixed(1)} % of the middle is gold`);
    expect(magenta === 0, 'the poster is still showing');
    console.log(`  page_check figures: load ${report.load_ms} ms, first frame ${report.first_frame_ms} ms, ` +
                `drawn ${(100 * report.drawn_share).toFixed(1)} %, check ${r.seconds.toFixed(1)} s`);
});
await test('a page whose model does not load and that has no title fails on both', async () => {
    const html = path.join(work, 'broken.html');
    // The GLB's data cut short, as a truncated write would leave it.
    await writeFile(html, page({ title: ' ', src: glbUri.slice(0, 200) }));
    const r = await run('page_check.mjs', [html, path.join(work, 'broken.png')]);
    expectStatus(r, 1);
    expectLine(r.stderr, /: the model did not load: /, r);
    expectLine(r.stderr, /: the page has no title$/m, r);
    // The poster stays in place of the model: a flat picture, nothing drawn in the middle.
    // (the loading bar along the element's top edge may count as a little drawn)
    expectLine(r.stderr, /: [0-4]\.\d % of the view is drawn, less than 5\.0 %/, r);
    expectLine(r.stderr, /: the drawn piece does not span the centre of the view$/m, r);
    expectLine(r.stdout, /broken\.html: FAILED/, r);
});
await test('a page that reaches for the network fails and names what it asked for', async () => {
    const r = await run('page_check.mjs', [fixture('fetches_network.html'), path.join(work, 'network.png')]);
    expectStatus(r, 1);
    expectLine(r.stderr,
               /: network request refused: https:\/\/cdn\.example\.com\/model-viewer\/4\.4\.0\/model-viewer\.min\.js$/m, r);
});
await test('page_check usage errors exit 2', async () => {
    expectStatus(await run('page_check.mjs', [fixture('fetches_network.html')]), 2);
    expectStatus(await run('page_check.mjs', ['a.html', 'a.png', '--min-drawn', '2']), 2);
});

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
