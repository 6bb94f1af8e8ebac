// node tests/web/page_check.mjs PAGE.html SCREENSHOT.png [--json] [--min-drawn SHARE]
// Opens an exported web page from disk in headless Chromium with the network off, as a person
// would open the file, waits until its <model-viewer> has loaded the piece and drawn it, and
// saves a screenshot of the 1024 x 768 view. Fails (exit 1, one line on stderr per fault) when
// the page tried to reach the network, logged an error or threw, never loaded or showed its
// model, drew too little of the view or nothing across its centre, or has no title. Prints its figures, times counted
// from the start of navigation: when the element loaded the model, when the first frame after
// that was drawn, the share of the view that is drawn and the page's size; as one JSON line
// with --json, else as a line of text. Exit 2 on a usage error or when Chromium cannot start.
//
// ORVA_CHROMIUM names the browser (default /usr/bin/chromium); ORVA_PAGE_TIMEOUT the seconds
// to wait for the piece (default 60).
import { mkdtemp, readFile, rm, stat } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { PNG } from 'pngjs';
import puppeteer from 'puppeteer-core';

function usage(problem) {
    console.error(`page_check: ${problem}`);
    console.error('usage: node page_check.mjs PAGE.html SCREENSHOT.png [--json] [--min-drawn SHARE]');
    process.exit(2);
}

const positional = [];
let json = false;
// The share of the view that must differ from the background; the drawn part must also span
// the view's centre.
let minDrawn = 0.05;
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i++) {
    if (args[i] === '--json') {
        json = true;
    } else if (args[i] === '--min-drawn') {
        minDrawn = Number(args[++i]);
        if (!(minDrawn >= 0 && minDrawn <= 1)) usage('--min-drawn takes a share from 0 to 1');
    } else if (args[i].startsWith('-')) {
        usage(`unknown option ${args[i]}`);
    } else {
        positional.push(args[i]);
    }
}
if (positional.length !== 2) usage('a page and a screenshot file are needed');
const [pagePath, screenshotPath] = positional.map(p => path.resolve(p));
const chromium = process.env.ORVA_CHROMIUM || '/usr/bin/chromium';
const timeoutMs = 1000 * Number(process.env.ORVA_PAGE_TIMEOUT || 60);
if (!(timeoutMs > 0)) usage('ORVA_PAGE_TIMEOUT must be a number of seconds');

// The difference from the background (of 255, in any channel) that counts as drawn.
const clearDifference = 24;

let pageBytes;
try {
    pageBytes = (await stat(pagePath)).size;
} catch (error) {
    console.error(`page_check: ${error.message}`);
    process.exit(1);
}

// Runs in the page before any of its own scripts: the element may load its model (a data: URI)
// at once, before a listener added after navigation would hear of it. Capture-phase listeners
// on the document hear the element's events whether or not they bubble. The wait is over when
// the element reports an error, or when it has loaded and shown the model and two animation
// frames have begun since (the second begins once the first has been drawn).
function watchModelViewer() {
    const state = { loadMs: null, visibleMs: null, firstFrameMs: null, error: null, finished: false };
    window.__orvaPageCheck = state;
    const fromViewer = event => event.target?.localName === 'model-viewer';
    const settle = () => {
        if (state.error !== null) {
            state.finished = true;
        } else if (state.loadMs !== null && state.visibleMs !== null) {
            requestAnimationFrame(() => requestAnimationFrame(() => {
                state.firstFrameMs ??= performance.now();
                state.finished = true;
            }));
        }
    };
    document.addEventListener('load', event => {
        if (!fromViewer(event) || state.loadMs !== null) return;
        state.loadMs = performance.now();
        settle();
    }, true);
    document.addEventListener('model-visibility', event => {
        if (!fromViewer(event) || !event.detail?.visible || state.visibleMs !== null) return;
        state.visibleMs = performance.now();
        settle();
    }, true);
    document.addEventListener('error', event => {
        if (!fromViewer(event) || state.error !== null) return;
        const detail = event.detail ?? {};
        const cause = detail.sourceError?.message ?? detail.sourceError;
        state.error = [detail.type, cause].filter(Boolean).join(': ') || 'an error event';
        settle();
    }, true);
}

const failures = [];
const refused = [];
const consoleErrors = [];
const pageErrors = [];
const figures = {};
// A fault already seen ends the wait for the model: the page fails whatever comes after.
let faultSeen;
const fault = new Promise(resolve => { faultSeen = resolve; });

const profile = await mkdtemp(path.join(tmpdir(), 'orva-page-check-'));
let browser;
try {
    browser = await puppeteer.launch({
        executablePath: chromium,
        headless: true,
        userDataDir: profile,
        defaultViewport: { width: 1024, height: 768 },
        args: [
            // CI runs as root, where Chromium's sandbox cannot start.
            '--no-sandbox',
            '--disable-gpu',
            // WebGL on the CPU: ANGLE over SwiftShader, which Chromium only gives web content
            // that it is told to trust.
            '--use-angle=swiftshader',
            '--enable-unsafe-swiftshader',
            // No traffic of the browser's own, and no name resolves, should anything slip past
            // the interception of the page's requests below.
            '--disable-quic',
            '--no-first-run',
            '--disable-background-networking',
            '--disable-component-update',
            '--disable-sync',
            '--host-resolver-rules=MAP * ~NOTFOUND',
        ],
    });
} catch (error) {
    await rm(profile, { recursive: true, force: true });
    console.error(`page_check: cannot start ${chromium}: ${error.message}`);
    process.exit(2);
}

try {
    const page = await browser.newPage();
    page.on('console', message => {
        if (message.type() !== 'error') return;
        consoleErrors.push(message.text());
        faultSeen();
    });
    page.on('pageerror', error => {
        pageErrors.push(error.message ?? String(error));
        faultSeen();
    });
    // The page must work from the file alone: every request for anything but a file, a data:
    // or a blob: URI is refused and remembered; web sockets are not requests, so are watched.
    await page.setRequestInterception(true);
    page.on('request', request => {
        const url = request.url();
        if (/^(file|data|blob):/i.test(url)) {
            request.continue();
        } else {
            refused.push(url);
            request.abort('blockedbyclient');
            faultSeen();
        }
    });
    const devtools = await page.createCDPSession();
    await devtools.send('Network.enable');
    devtools.on('Network.webSocketCreated', ({ url }) => {
        refused.push(url);
        faultSeen();
    });
    await page.evaluateOnNewDocument(watchModelViewer);

    const started = Date.now();
    await page.goto(pathToFileURL(pagePath).href, { waitUntil: 'load', timeout: timeoutMs });
    // Module scripts have run by the page's load event: an element not defined now stays so.
    const setup = await page.evaluate(() => {
        const gl = document.createElement('canvas').getContext('webgl2');
        const debug = gl?.getExtension('WEBGL_debug_renderer_info');
        return {
            viewers: document.querySelectorAll('model-viewer').length,
            defined: customElements.get('model-viewer') !== undefined,
            webgl: gl ? gl.getParameter(debug ? debug.UNMASKED_RENDERER_WEBGL : gl.RENDERER) : null,
        };
    });
    figures.webgl = setup.webgl;
    if (!setup.webgl) failures.push('the browser gives no WebGL 2 context: nothing can be drawn');
    if (setup.viewers !== 1) {
        failures.push(`the page has ${setup.viewers} <model-viewer> elements, not one`);
    } else if (!setup.defined) {
        failures.push("<model-viewer> is not defined: the page's model-viewer script did not run");
    } else {
        const finished = page.waitForFunction(() => window.__orvaPageCheck.finished,
                                               { timeout: Math.max(1, timeoutMs - (Date.now() - started)),
                                                 polling: 50 });
        finished.catch(() => {}); // a time-out is told apart below by what the element reported
        await Promise.race([finished, fault]);
        const state = await page.evaluate(() => window.__orvaPageCheck);
        const faulted = refused.length + consoleErrors.length + pageErrors.length > 0;
        if (state.error !== null) {
            failures.push(`the model did not load: ${state.error}`);
        } else if (state.finished) {
            figures.load_ms = Math.round(state.loadMs);
            figures.visible_ms = Math.round(state.visibleMs);
            figures.first_frame_ms = Math.round(state.firstFrameMs);
        } else if (!faulted) {
            // With a fault already seen the page fails anyway, so whether the model would have
            // come in time is not asked.
            failures.push(state.loadMs === null
                ? `the model did not load within ${timeoutMs / 1000} s`
                : `the model loaded but was not drawn within ${timeoutMs / 1000} s`);
        }
    }

    await page.screenshot({ path: screenshotPath });
    const shown = await page.evaluate(() => {
        const viewer = document.querySelector('model-viewer');
        const rect = viewer?.getBoundingClientRect();
        return {
            title: document.title,
            rect: rect ? { x: rect.x, y: rect.y, width: rect.width, height: rect.height } : null,
            modelIsVisible: viewer?.modelIsVisible === true,
            dpr: window.devicePixelRatio,
        };
    });
    figures.title = shown.title;
    if (shown.title.trim() === '') failures.push('the page has no title');
    if (figures.first_frame_ms !== undefined && !shown.modelIsVisible) {
        failures.push('the element no longer shows the model when the screenshot is taken');
    }
    if (shown.rect && shown.rect.width >= 8 && shown.rect.height >= 8) {
        const png = PNG.sync.read(await readFile(screenshotPath));
        const drawn = drawnShare(png, shown.rect, shown.dpr);
        figures.drawn_share = Math.round(drawn.share * 10000) / 10000;
        figures.background = drawn.background;
        if (drawn.share < minDrawn) {
            failures.push(`${(100 * drawn.share).toFixed(1)} % of the view is drawn, ` +
                          `less than ${(100 * minDrawn).toFixed(1)} %: the piece is not there`);
        }
        if (!drawn.spansMiddle) {
            failures.push('the drawn piece does not span the centre of the view');
        }
    } else if (shown.rect) {
        failures.push('the <model-viewer> element takes no room on the page');
    }
} catch (error) {
    failures.push(`the check stopped: ${error.message ?? error}`);
} finally {
    await browser.close().catch(() => {});
    await rm(profile, { recursive: true, force: true });
}

for (const url of refused) failures.push(`network request refused: ${url}`);
for (const text of consoleErrors) failures.push(`console error: ${text}`);
for (const text of pageErrors) failures.push(`page error: ${text}`);
for (const failure of failures) console.error(`page_check: ${pagePath}: ${failure}`);

const report = { page: pagePath, ok: failures.length === 0, page_bytes: pageBytes, ...figures,
                 network_requests: refused, failures, screenshot: screenshotPath };
if (json) {
    console.log(JSON.stringify(report));
} else {
    const ms = value => (value === undefined ? '-' : `${value} ms`);
    const share = report.drawn_share === undefined ? '-' : `${(100 * report.drawn_share).toFixed(1)} %`;
    console.log(`${pagePath}: ${report.ok ? 'ok' : 'FAILED'}: model loaded at ${ms(report.load_ms)}, ` +
                `first frame at ${ms(report.first_frame_ms)}, drawn ${share}, ` +
                `${pageBytes} bytes; screenshot ${screenshotPath}`);
}
process.exit(report.ok ? 0 : 1);

// The share of the element (RECT, in CSS pixels) whose pixels differ clearly
// from each of the background samples, taken inside the element's four corners (clear of the
// loading bar along its top edge).
function drawnShare(png, rect, dpr) {
    const at = (x, y) => {
        const column = Math.min(png.width - 1, Math.max(0, Math.round(x * dpr)));
        const row = Math.min(png.height - 1, Math.max(0, Math.round(y * dpr)));
        return 4 * (row * png.width + column);
    };
    const inset = Math.max(8, 0.02 * Math.min(rect.width, rect.height));
    const corners = [
        [rect.x + inset, rect.y + inset],
        [rect.x + rect.width - 1 - inset, rect.y + inset],
        [rect.x + inset, rect.y + rect.height - 1 - inset],
        [rect.x + rect.width - 1 - inset, rect.y + rect.height - 1 - inset],
    ].map(([x, y]) => Array.from(png.data.subarray(at(x, y), at(x, y) + 3)));
    const differs = i => corners.every(c => Math.max(Math.abs(png.data[i] - c[0]),
                                                     Math.abs(png.data[i + 1] - c[1]),
                                                     Math.abs(png.data[i + 2] - c[2])) > clearDifference);
    const x0 = Math.max(0, Math.round(rect.x * dpr));
    const x1 = Math.min(png.width, Math.round((rect.x + rect.width) * dpr));
    const y0 = Math.max(0, Math.round(rect.y * dpr));
    const y1 = Math.min(png.height, Math.round((rect.y + rect.height) * dpr));
    let drawn = 0;
    const box = { x0: Infinity, x1: -Infinity, y0: Infinity, y1: -Infinity };
    for (let y = y0; y < y1; y++) {
        for (let x = x0; x < x1; x++) {
            if (!differs(4 * (y * png.width + x))) continue;
            drawn++;
            box.x0 = Math.min(box.x0, x);
            box.x1 = Math.max(box.x1, x);
            box.y0 = Math.min(box.y0, y);
            box.y1 = Math.max(box.y1, y);
        }
    }
    // The silhouette spans the centre when its box holds the element's centre: a ring seen
    // through its opening is drawn around the centre, not on it.
    const cx = (rect.x + rect.width / 2) * dpr;
    const cy = (rect.y + rect.height / 2) * dpr;
    const spansMiddle = drawn > 0 && box.x0 <= cx && box.x1 >= cx && box.y0 <= cy && box.y1 >= cy;
    const total = Math.max(0, x1 - x0) * Math.max(0, y1 - y0);
    return { share: total ? drawn / total : 0, spansMiddle, background: corners.map(c => `rgb(${c.join(', ')})`) };
}
