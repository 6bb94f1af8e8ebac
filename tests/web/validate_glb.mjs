// node tests/web/validate_glb.mjs FILE...
// Checks binary glTF files (.glb) with the Khronos glTF validator. A file must stand alone: a
// reference to any file or address outside it is refused, and so reported as an error. Prints
// one line per file, then every message the validator gives (errors, warnings, infos, hints)
// with its code, its JSON pointer and its text. Exit status 0 when no file has an error or a
// warning, 1 when one has (or cannot be read), 2 on a usage error.
import { readFile } from 'node:fs/promises';
import validator from 'gltf-validator';

const severities = ['error', 'warning', 'info', 'hint'];

function usage(problem) {
    console.error(`validate_glb: ${problem}`);
    console.error('usage: node validate_glb.mjs FILE.glb...');
    process.exit(2);
}

const files = process.argv.slice(2);
if (files.length === 0) usage('no file given');
for (const file of files) {
    if (file.startsWith('-') && file !== '-') usage(`unknown option ${file}`);
}

// An exported file carries its buffers and images inside; whatever it points to outside is a
// fault, whether or not the file happens to lie beside it.
function refuseExternal(uri) {
    return Promise.reject(new Error(`external resource "${uri}" refused: the file must stand alone`));
}

function summary(info) {
    if (!info) return '';
    const parts = [];
    if (info.generator) parts.push(`generator "${info.generator}"`);
    for (const [key, name] of [['drawCallCount', 'draw calls'], ['totalTriangleCount', 'triangles'],
                               ['totalVertexCount', 'vertices'], ['materialCount', 'materials']]) {
        if (info[key] !== undefined) parts.push(`${info[key]} ${name}`);
    }
    if (info.extensionsUsed?.length) parts.push(`extensions ${info.extensionsUsed.join(' ')}`);
    return parts.length ? ` (${parts.join(', ')})` : '';
}

let failed = false;
for (const file of files) {
    let bytes;
    try {
        bytes = new Uint8Array(await readFile(file));
    } catch (error) {
        console.log(`${file}: cannot be read: ${error.message}`);
        failed = true;
        continue;
    }
    let report;
    try {
        report = await validator.validateBytes(bytes, {
            uri: file,
            format: 'glb',
            maxIssues: 0,
            writeTimestamp: false,
            externalResourceFunction: refuseExternal,
        });
    } catch (error) {
        console.log(`${file}: the validator could not read it: ${error}`);
        failed = true;
        continue;
    }
    const issues = report.issues;
    const bad = issues.numErrors > 0 || issues.numWarnings > 0;
    failed ||= bad;
    console.log(`${file}: ${bad ? 'INVALID' : 'valid'}: ${issues.numErrors} errors, ` +
                `${issues.numWarnings} warnings, ${issues.numInfos} infos, ${issues.numHints} hints` +
                summary(report.info));
    for (const m of issues.messages) {
        console.log(`  ${severities[m.severity] ?? m.severity} ${m.code} ${m.pointer ?? '-'}: ${m.message}`);
    }
    if (issues.truncated) console.log('  (the validator left further messages out)');
}
process.exit(failed ? 1 : 0);
