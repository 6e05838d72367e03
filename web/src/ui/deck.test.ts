// SPDX-License-Identifier: GPL-3.0-or-later
// The deck's drawing made fit for a page that refuses inline style.

import { describe, expect, it } from 'vitest';
import { presentationAttributes } from './deck';

describe('style attributes of the deck become SVG attributes', () => {
  it.each([
    ['a stop of a gradient', '<stop offset="0" style="stop-color:#ebf0d0;stop-opacity:1.0;" />',
      '<stop offset="0" stop-color="#ebf0d0" stop-opacity="1.0"/>'],
    ['the style over an attribute already there, written once',
      '<path fill="red" d="M0 0" style="fill:#000000;stroke:none">',
      '<path fill="#000000" d="M0 0" stroke="none">'],
    ['a style in single quotes, empty declarations skipped', "<rect style='fill: blue ; ;opacity:0.5' />",
      '<rect fill="blue" opacity="0.5"/>'],
    ['a tag without style, untouched', '<g id="queen_heart" transform="translate(1,2)">',
      '<g id="queen_heart" transform="translate(1,2)">'],
    ['a quote inside a value kept inside its attribute', `<text style="font-family:'Bitstream Vera Sans'">`,
      `<text font-family="'Bitstream Vera Sans'">`],
    ['an attribute named like style left alone', '<g data-style="x" id="a">', '<g data-style="x" id="a">'],
  ])('%s', (_, input, output) => {
    expect(presentationAttributes(input)).toBe(output);
  });

  it('leaves no style attribute in a whole drawing, and its text between tags as it was', () => {
    const svg = '<svg xmlns="http://www.w3.org/2000/svg"><g style="fill:red"><text style="font-size:3px">A &lt; B</text></g></svg>';
    const out = presentationAttributes(svg);
    expect(out).not.toMatch(/\sstyle=/);
    expect(out).toContain('>A &lt; B</text>');
    expect(out).toContain('<g fill="red">');
  });
});
