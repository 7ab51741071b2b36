// The page around the demo: its two buttons answer "fullscreen?" and are the click
// that lets a browser start sound; the music loads while the question waits; the
// program then draws its own loading screen and the demo. At the end the last frame
// stays, with "play again".
//
// Address options: ?variant=b plays vorimel_b (trails of alpha 0.99), ?muted plays
// silently (the music still drives the demo), ?height=H draws the frame at H lines
// instead of at the size the canvas is displayed at (a multiple of 6 from 480 up),
// ?fps=N runs the demo on the capture tool's clock, N frames per second of demo
// whatever the browser's speed (for tests, which then read page.snapshots), ?bench
// waits for each frame to be drawn and keeps its scene and time in page.frameTimes,
// ?positions keeps every position the program reports in page.music.positionLog,
// ?lead=MS reads the music MS milliseconds further ahead than the program asks (to
// measure what a longer lead would do to the flash on screen).
'use strict';

const options = new URLSearchParams(location.search);
const programName = options.get('variant') === 'b' ? 'vorimel_b-web' : 'vorimel-web';

const stage = document.getElementById('stage');
const canvas = document.getElementById('canvas');
const question = document.getElementById('question');
const endPanel = document.getElementById('end');
const stopButton = document.getElementById('stop');
const statusLine = document.getElementById('status');
const fill = question.querySelector('.fill');

// What a test or a curious reader can see of the page's progress.
const page = {
    state: 'question', // question, loading, running, ended
    exitCode: null,
    clickedAt: 0, // performance.now() of the button click
    firstFrameAt: 0, // performance.now() of the demo's first drawn frame
    music: new DemoMusic(),
    program: null,
    demoFrames: 0, // frames shown since the music started
    keep: new Set(), // demo frames to keep as PNG data URLs in snapshots
    snapshots: {},
    frameTimes: [], // with ?bench: [scene name, milliseconds] of each frame drawn
};
window.vorimelPage = page;
page.music.setMuted(options.has('muted'));
if (options.has('positions'))
    page.music.positionLog = [];
page.music.extraLead = (Number(options.get('lead')) || 0) / 1000;

const musicLoaded = page.music.load('mordel.flac', (fraction) => {
    fill.style.width = (100 * fraction).toFixed(1) + '%';
}).then(() => {
    fill.style.width = '100%';
}, (error) => {
    statusLine.textContent = 'the music could not be loaded: ' + error.message;
    throw error;
});

function loadScript(url) {
    return new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = url;
        script.onload = resolve;
        script.onerror = () => reject(new Error(url + ' could not be loaded'));
        document.head.appendChild(script);
    });
}
const programLoaded = loadScript(programName + '.js');

async function start(fullscreen) {
    page.clickedAt = performance.now();
    page.demoFrames = 0;
    question.classList.add('hidden');
    endPanel.classList.add('hidden');
    page.state = 'loading';
    if (fullscreen && stage.requestFullscreen && !document.fullscreenElement)
        stage.requestFullscreen().catch(() => {}); // refused: the demo plays in the page
    await page.music.context.resume();
    await Promise.all([musicLoaded, programLoaded]);
    canvas.focus();
    stopButton.classList.remove('hidden');
    page.program = await createVorimel({
        canvas: canvas,
        arguments: [fullscreen ? '--fullscreen' : '--windowed', '--height', options.get('height') || 'native'].concat(
            options.has('fps') ? ['--frames-per-second=' + options.get('fps')] : [],
            options.has('bench') ? ['--bench'] : []),
        onPresent: presented,
        onFrameTime: (scene, milliseconds) => page.frameTimes.push([scene, milliseconds]),
        player: page.music,
        print: (text) => console.log(text),
        printErr: (text) => console.warn(text),
        onMessage: (caption, text, detail) => {
            document.getElementById('message').textContent = caption + ': ' + text + (detail ? ' (' + detail + ')' : '');
        },
        onExit: ended,
    });
}

// Called by the program right after it drew a frame onto the canvas.
function presented() {
    if (!page.music.source)
        return; // the loading screen
    const frame = page.demoFrames++;
    if (page.keep.has(frame))
        page.snapshots[frame] = canvas.toDataURL('image/png');
}

function ended(code) {
    page.state = 'ended';
    page.exitCode = code;
    page.music.stop();
    stopButton.classList.add('hidden');
    endPanel.classList.remove('hidden');
    document.getElementById('again').focus();
}

// the music's first heard sample after a click marks the demo's first frame
function watchFirstFrame() {
    if (page.state === 'loading' && page.music.source) {
        page.state = 'running';
        page.firstFrameAt = performance.now();
    }
    if (page.state !== 'ended')
        requestAnimationFrame(watchFirstFrame);
}

let lastChoice = false;
function choose(fullscreen) {
    lastChoice = fullscreen;
    start(fullscreen).catch((error) => {
        statusLine.textContent = error.message;
        question.classList.remove('hidden');
        page.state = 'question';
    });
    requestAnimationFrame(watchFirstFrame);
}

document.getElementById('fullscreen').addEventListener('click', () => choose(true));
document.getElementById('window').addEventListener('click', () => choose(false));
document.getElementById('again').addEventListener('click', () => {
    document.getElementById('message').textContent = '';
    choose(lastChoice);
});
stopButton.addEventListener('click', () => {
    if (page.program)
        page.program._vorimel_request_quit();
});
