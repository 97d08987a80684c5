// A zip file of several files, for the page's "download all".
//
// Our own few lines rather than a vendored library: a zip file is a plain
// format (a header before each file, a directory at the end, a CRC-32 of
// each file), and the one part that takes real work, deflating, the browser
// does itself (CompressionStream). Where it cannot, the files are stored
// as they are, which every unzip program reads as well.
//
// buildZip(entries) takes [{path, data}] (path: "folder/name.xml" with "/"
// between folders; data: a Uint8Array) and resolves to a Blob. It rejects
// when the files are too many or too large for a zip without its 64-bit
// extensions (65535 files, 4 GiB).
const buildZip = (() => {
  'use strict';

  const crcTable = new Uint32Array(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    crcTable[n] = c >>> 0;
  }

  function crc32(bytes) {
    let crc = 0xffffffff;
    for (let i = 0; i < bytes.length; i++) crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
  }

  // The deflated bytes, or null where the browser cannot deflate.
  async function deflateRaw(bytes) {
    try {
      const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
      return new Uint8Array(await new Response(stream).arrayBuffer());
    } catch (error) {
      return null;
    }
  }

  // The time and date fields of MS-DOS, in local time, as zip files keep them.
  function dosTime(date) {
    const time = (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1);
    const day = ((date.getFullYear() - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate();
    return [time, day];
  }

  const LIMIT = 0xffffffff;

  return async function buildZip(entries) {
    if (entries.length > 0xffff) throw new Error('too many files for one zip file');
    const [time, day] = dosTime(new Date());
    const encoder = new TextEncoder();
    const parts = [];
    const directory = [];
    let offset = 0;
    for (const entry of entries) {
      const name = encoder.encode(entry.path);
      const crc = crc32(entry.data);
      const deflated = await deflateRaw(entry.data);
      const useDeflated = deflated !== null && deflated.length < entry.data.length;
      const body = useDeflated ? deflated : entry.data;
      if (entry.data.length >= LIMIT || offset + 30 + name.length + body.length >= LIMIT) {
        throw new Error('the files are too large for one zip file');
      }
      // Fields shared by the local header and the directory entry: version
      // needed (2.0), flags (names in UTF-8), method, time, date, CRC, sizes,
      // name length.
      const common = new DataView(new ArrayBuffer(26));
      common.setUint16(0, 20, true);
      common.setUint16(2, 0x0800, true);
      common.setUint16(4, useDeflated ? 8 : 0, true);
      common.setUint16(6, time, true);
      common.setUint16(8, day, true);
      common.setUint32(10, crc, true);
      common.setUint32(14, body.length, true);
      common.setUint32(18, entry.data.length, true);
      common.setUint16(22, name.length, true);
      const local = new DataView(new ArrayBuffer(4));
      local.setUint32(0, 0x04034b50, true);
      parts.push(local, common, name, body);
      const central = new DataView(new ArrayBuffer(46));
      central.setUint32(0, 0x02014b50, true);
      central.setUint16(4, 20, true);  // made by: version 2.0
      new Uint8Array(central.buffer, 6, 26).set(new Uint8Array(common.buffer));
      central.setUint32(42, offset, true);
      directory.push(central, name);
      offset += 30 + name.length + body.length;
    }
    const directorySize = directory.reduce((size, part) => size + part.byteLength, 0);
    if (offset + directorySize >= LIMIT) throw new Error('the files are too large for one zip file');
    const end = new DataView(new ArrayBuffer(22));
    end.setUint32(0, 0x06054b50, true);
    end.setUint16(8, entries.length, true);
    end.setUint16(10, entries.length, true);
    end.setUint32(12, directorySize, true);
    end.setUint32(16, offset, true);
    return new Blob([...parts, ...directory, end], {type: 'application/zip'});
  };
})();
