// The demo's music in the page: the module rendered beforehand (mordel.flac), played
// through Web Audio. The program asks it which second of the music is being heard.
'use strict';

class DemoMusic {
    constructor() {
        // the rate the music was rendered at, so that decoding does not resample it and
        // a frame of the audio is a frame of the position table
        this.context = new AudioContext({ sampleRate: 44100, latencyHint: 'interactive' });
        this.gain = this.context.createGain();
        this.gain.connect(this.context.destination);
        this.buffer = null;
        this.source = null;
        this.offset = 0; // seconds into the music where the source started
        this.startedAt = 0; // context time at which it started
        this.lastHeard = -1; // the last answer of heardSeconds: the music of the frame last drawn
        this.lastRead = 0; // performance.now() of that answer
        this.lastFor = 0; // the instant it describes, on the same clock
        // with ?positions: [read ms, for ms, order, row, fraction] of each position the
        // program took from an answer, for sync measurements
        this.positionLog = null;
        this.extraLead = 0; // seconds added to the program's lead (?lead=MS, for measurements)
    }

    // Fetches and decodes the music; onProgress gets the fraction fetched.
    async load(url, onProgress) {
        const response = await fetch(url);
        if (!response.ok)
            throw new Error(url + ': ' + response.status + ' ' + response.statusText);
        const total = Number(response.headers.get('Content-Length')) || 0;
        const reader = response.body.getReader();
        const chunks = [];
        let received = 0;
        for (;;) {
            const { done, value } = await reader.read();
            if (done)
                break;
            chunks.push(value);
            received += value.length;
            if (total > 0)
                onProgress(received / total);
        }
        const bytes = new Uint8Array(received);
        let at = 0;
        for (const chunk of chunks) {
            bytes.set(chunk, at);
            at += chunk.length;
        }
        this.buffer = await this.context.decodeAudioData(bytes.buffer);
    }

    setMuted(muted) {
        this.gain.gain.value = muted ? 0 : 1;
    }

    // Plays from that second of the music on, from now.
    seek(seconds) {
        this.stop();
        const source = this.context.createBufferSource();
        source.buffer = this.buffer;
        source.connect(this.gain);
        const when = this.context.currentTime;
        source.start(when, Math.min(Math.max(seconds, 0), this.buffer.duration));
        this.source = source;
        this.offset = seconds;
        this.startedAt = when;
    }

    stop() {
        if (this.source) {
            this.source.stop();
            this.source.disconnect();
            this.source = null;
        }
    }

    // The second of the music that reaches the listener `lead` seconds from now: the
    // output's own timestamp says which context time is being heard at which moment;
    // where a browser gives none, the output latency is taken off the context's time.
    // -1 while nothing plays.
    heardSeconds(lead) {
        if (!this.source)
            return -1;
        lead += this.extraLead;
        const stamp = this.context.getOutputTimestamp ? this.context.getOutputTimestamp() : null;
        const now = performance.now();
        let heard;
        if (stamp && stamp.performanceTime > 0)
            heard = stamp.contextTime + (now - stamp.performanceTime) / 1000;
        else
            heard = this.context.currentTime - (this.context.outputLatency || this.context.baseLatency || 0);
        const seconds = this.offset + Math.max(0, heard + lead - this.startedAt);
        this.lastHeard = Math.min(seconds, this.buffer.duration);
        this.lastRead = now;
        this.lastFor = now + lead * 1000;
        return this.lastHeard;
    }

    // The program's position (order, row, part of the row played) for the last answer.
    reported(order, row, fraction) {
        if (this.positionLog)
            this.positionLog.push([this.lastRead, this.lastFor, order, row, fraction]);
    }
}
