// Reads 8-bit RGB or RGBA PNG files (the game's screenshots and Chromium's) into RGBA pixels.
'use strict';
const zlib = require('zlib');

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Returns { width, height, rgba } or throws on anything else than what both writers produce.
function readPng(buffer) {
  if (buffer.length < 8 || buffer.toString('latin1', 1, 4) !== 'PNG') throw new Error('not a PNG');
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at + 12 <= buffer.length) {
    const length = buffer.readUInt32BE(at);
    const type = buffer.toString('latin1', at + 4, at + 8);
    const body = buffer.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0 || (body[9] !== 2 && body[9] !== 6))
        throw new Error('only 8-bit, non-interlaced RGB or RGBA PNGs are read');
      channels = body[9] === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      data.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  if (!width || raw.length < height * (stride + 1)) throw new Error('truncated PNG');
  const rows = Buffer.alloc(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = y * stride, up = out - stride;
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? rows[out + x - channels] : 0;
      const b = y > 0 ? rows[up + x] : 0;
      const c = x >= channels && y > 0 ? rows[up + x - channels] : 0;
      const predict = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
      if (predict === undefined) throw new Error('unknown PNG filter ' + filter);
      rows[out + x] = (line[x] + predict) & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4, 255);
  for (let i = 0; i < width * height; i++)
    for (let k = 0; k < 3; k++) rgba[i * 4 + k] = rows[i * channels + k];
  return { width, height, rgba };
}

// Mean absolute difference per channel (0..255) between two pictures of the same size over a
// rectangle [x, y, w, h].
function regionDifference(a, b, [x0, y0, w, h]) {
  if (a.width !== b.width || a.height !== b.height) throw new Error('pictures of different sizes');
  let sum = 0;
  for (let y = y0; y < y0 + h; y++)
    for (let x = x0; x < x0 + w; x++)
      for (let k = 0; k < 3; k++) sum += Math.abs(a.rgba[(y * a.width + x) * 4 + k] - b.rgba[(y * b.width + x) * 4 + k]);
  return sum / (w * h * 3);
}

module.exports = { readPng, regionDifference };
