// Reads the files of write_samples.cpp with independent npm readers:
//   parse-bmfont-ascii, parse-bmfont-xml, parse-bmfont-binary for the three descriptor forms,
//   pngjs for every PNG (the BMFont pages and the "PNG Image" outputs).
// Usage: node check_outputs.js SAMPLE_FOLDER   (run_acceptance.sh installs the packages)
'use strict';
const fs = require('fs');
const path = require('path');
const assert = require('assert');
const parseAscii = require('parse-bmfont-ascii');
const parseXml = require('parse-bmfont-xml');
const parseBinary = require('parse-bmfont-binary');
const { PNG } = require('pngjs');

const folder = process.argv[2];
const W = 256, H = 128;
let checks = 0;
const check = (cond, what) => { assert.ok(cond, what); checks++; };

const fonts = {
  text: parseAscii(fs.readFileSync(path.join(folder, 'bmfont_text.fnt'), 'utf8')),
  xml: parseXml(fs.readFileSync(path.join(folder, 'bmfont_xml.fnt'), 'utf8')),
  binary: parseBinary(fs.readFileSync(path.join(folder, 'bmfont_binary.fnt'))),
};

const summary = (f) => JSON.stringify({
  face: f.info.face, size: f.info.size, bold: f.info.bold, italic: f.info.italic,
  lineHeight: f.common.lineHeight, base: f.common.base, scaleW: f.common.scaleW, scaleH: f.common.scaleH,
  pageCount: f.pages.length,
  chars: f.chars.map((c) => [c.id, c.x, c.y, c.width, c.height, c.xoffset, c.yoffset, c.xadvance, c.page, c.chnl]),
  kernings: f.kernings.map((k) => [k.first, k.second, k.amount]),
});

for (const [form, f] of Object.entries(fonts)) {
  check(f.info.face === 'DejaVu Sans', `${form}: face`);
  check(f.common.scaleW === W && f.common.scaleH === H, `${form}: page size`);
  check(f.common.lineHeight === 20 && f.common.base === 17, `${form}: lineHeight and base`);
  check(f.pages.length === 1, `${form}: one page`);
  check(f.chars.length === 91, `${form}: 90 characters and the space`);
  check(f.kernings.length === 3, `${form}: kernings`);
  for (const c of f.chars) {
    check(c.x >= 0 && c.y >= 0 && c.x + c.width <= W && c.y + c.height <= H, `${form}: char ${c.id} inside the page`);
  }
  const page = path.join(folder, f.pages[0]);
  check(fs.existsSync(page), `${form}: page file ${f.pages[0]} exists`);
  const png = PNG.sync.read(fs.readFileSync(page));
  check(png.width === W && png.height === H, `${form}: page decodes to ${W} x ${H}`);
}
check(summary(fonts.xml) === summary(fonts.text), 'XML form describes what the text form does');
check(summary(fonts.binary) === summary(fonts.text), 'binary form describes what the text form does');

for (const name of ['image_rgb', 'image_alpha', 'image_rgba']) {
  const png = PNG.sync.read(fs.readFileSync(path.join(folder, name + '.png')));
  check(png.width === W && png.height === H, `${name}.png decodes to ${W} x ${H}`);
}

const metrics = JSON.parse(fs.readFileSync(path.join(folder, 'metrics.json'), 'utf8'));
check(metrics.width === W && metrics.characters.length === 90, 'metrics.json');

console.log(`${checks} passed, 0 failed`);
